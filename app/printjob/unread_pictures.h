// The pictures of the running job that could not be read when their page was made (deleted or
// changed into something else since the search listed them). Their cells stay empty, as an
// unreadable picture always leaves its cell; the drivers name the count in the closing status
// so that an album with holes is not reported as simply done.
#pragma once

#include <cstdint>

namespace quillora::app {

void resetUnreadPictures();
void noteUnreadPictures(std::int32_t count);
std::int32_t unreadPictures();

}  // namespace quillora::app
