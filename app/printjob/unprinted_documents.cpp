#include "printjob/unprinted_documents.h"

namespace quillora::app {
namespace {

std::int32_t unprinted = 0;

}  // namespace

void resetUnprintedDocuments()
{
    unprinted = 0;
}

void noteUnprintedDocument()
{
    ++unprinted;
}

std::int32_t unprintedDocuments()
{
    return unprinted;
}

}  // namespace quillora::app
