#include "printjob/unread_pictures.h"

namespace quillora::app {
namespace {

std::int32_t unread = 0;

}  // namespace

void resetUnreadPictures()
{
    unread = 0;
}

void noteUnreadPictures(std::int32_t count)
{
    if (count > 0)
        unread += count;
}

std::int32_t unreadPictures()
{
    return unread;
}

}  // namespace quillora::app
