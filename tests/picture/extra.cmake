# The picture tests write JPEG and GIF files with libraries independent of the decoders.
target_link_libraries(${target} PRIVATE JPEG::JPEG GIF::GIF)
