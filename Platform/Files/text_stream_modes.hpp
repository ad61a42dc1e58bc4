#pragma once
// The modes and formats a text stream is opened with (OpenTextFile's IOMode and Format, and
// OpenAsTextStream's), as scripts and the control pass them by number.

namespace lumora::files {

enum class IoMode { Reading = 1, Writing = 2, Appending = 8 };
// The format argument: -2 the system default (reading recognises a Unicode byte-order mark;
// writing is ANSI), -1 Unicode, 0 ANSI.
enum class Tristate { UseDefault = -2, True = -1, False = 0 };

}  // namespace lumora::files
