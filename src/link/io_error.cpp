#include "link/io_error.h"

#include "farlib/host.h"
#include "platform/error.h"

file_io_error::file_io_error(int messageNumber)
    : io_error(FarLib::GetMsg(messageNumber), Platform::LastError()) {}
