#include "ui/find/archive_changes.h"

namespace {

quint64 Stamp = 1;

} // namespace

void Note_Archive_Change()
{
    ++Stamp;
}

quint64 Archive_Change_Stamp()
{
    return Stamp;
}
