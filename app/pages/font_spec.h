// A font as the font dialog reports it and as a page's captions, header and footer are written in.
#pragma once

#include <cstdint>
#include <string>

namespace quillora::app {

struct FontSpec {
    std::int32_t angle = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    std::int32_t size = 9;  // points of the screen (96 per inch)
    std::string name = "宋体";
};

}  // namespace quillora::app
