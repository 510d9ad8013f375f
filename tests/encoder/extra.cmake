# The encoder tests read every file the service writes back with the standard decoders.
target_link_libraries(${target} PRIVATE JPEG::JPEG PNG::PNG TIFF::TIFF GIF::GIF)
