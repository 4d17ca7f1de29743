#pragma once

// Whether files copied out of the phone book are named without the format's extension. The
// host's copy to the other panel raises it; the copy dialog lowers it.
bool& NoExtensionFlag();
