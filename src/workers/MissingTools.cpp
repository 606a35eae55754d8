#include "workers/MissingTools.h"

MissingTools& MissingTools::shared()
{
    static MissingTools instance;
    return instance;
}
