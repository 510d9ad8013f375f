// The print documents of the running job that the printer did not take: PrintBatch counts them
// (the user has been told about each), the drivers stop the job after one and name them all,
// with the batches then never printed, in the job's closing status.
#pragma once

#include <cstdint>

namespace quillora::app {

void resetUnprintedDocuments();
void noteUnprintedDocument();
std::int32_t unprintedDocuments();

}  // namespace quillora::app
