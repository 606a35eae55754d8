#include "jobs/TempFile.h"

#include <QFile>

TempFile::~TempFile() { QFile::remove(url.toLocalFile()); }
