#include "workers/JobWorkingFiles.h"

#include "jobs/OptimizationJob.h"
#include "workers/TemporaryFiles.h"
#include "workers/WorkingFilesManager.h"

#include <QFileInfo>

#include <algorithm>

namespace JobWorkingFiles {

QString key(const OptimizationJob& job) { return job.id().toString(QUuid::WithoutBraces); }

IOFile::Ptr workingInputFile(const OptimizationJob& job)
{
    const auto registered = WorkingFilesManager::shared().workingFile(key(job));
    return IOFile::read(registered.value_or(job.fileURL()));
}

bool recordResult(OptimizationJob& job, const IOFile& result, const QString& toolName)
{
    if (result.byteSize >= job.originalSize())
        return false;
    job.setOptimizedSize(result.byteSize);
    job.setBestTool(toolName);
    // Registered before returning, so the job's next tool starts from this file.
    WorkingFilesManager::shared().setWorkingFile(result.path, key(job));

    job.workerResults.insert(toolName, result.byteSize);
    const auto smallest = std::min_element(job.workerResults.cbegin(), job.workerResults.cend());
    job.setBestTool(smallest.key());
    return true;
}

void keepOrDelete(OptimizationJob& job, IOFileType inputKind, const QUrl& output, bool written,
                  const QString& toolName)
{
    if (written && QFileInfo::exists(output.toLocalFile())) {
        // An output of another kind would put, say, JPEG bytes under a .png name.
        const IOFile::Ptr result = IOFile::read(output);
        if (result && result->fileType == inputKind && recordResult(job, *result, toolName))
            return;
    }
    TemporaryFiles::removeIfOurs(output.toLocalFile());
}

} // namespace JobWorkingFiles
