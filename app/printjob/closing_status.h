// The words a job ends with in the status bar. They always begin with "打印完毕！" and then say
// what happened when it was not simply everything asked for: the user's cancel and the pages made
// by then, the pages no folder was chosen for, what was lost, the pictures that could not be read,
// and where the PDF printer put its documents.
#pragma once

#include <string>
#include <string_view>

#include "printjob/job_tally.h"

namespace quillora::app {

inline constexpr std::string_view kStatusFinished = "打印完毕！";

// The closing status of a job with this tally.
std::string closingStatus(const JobTally& tally);

// What the job lost: "2页未能保存，1份文档未能打印"; empty when nothing was.
std::string lostText(const JobTally& tally);

// The folder part of a file's full path (Linux "/" or drive "\" separators); empty without one.
std::string folderOfFile(std::string_view path);

}  // namespace quillora::app
