#include "printjob/job_tally.h"

namespace quillora::app {

JobTally& jobTally()
{
    static JobTally tally;
    return tally;
}

void resetJobTally()
{
    jobTally() = JobTally();
}

}  // namespace quillora::app
