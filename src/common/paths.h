// Paths. Settings and stored values may carry Windows paths ("\" separators);
// the program accepts "\" and "/" alike and talks to the file system with the
// native separator.
#pragma once

#include <QString>

namespace pelix {

// The first piece, then one separator only when the first piece does not end
// with one and the second does not begin with one, then the second piece.
// The inserted separator follows the style of the first piece ("\" when it uses
// backslashes only, "/" otherwise).
QString JoinPath(const QString& first, const QString& second);

// The path with every "\" and "/" as the native separator.
QString NativePath(const QString& path);

// The path of an existing file or folder whose name matches `path` without
// regard to letter case, component by component; `path` itself (native) when
// nothing matches. Lets "DATA" and "Data" name the same folder on every system.
QString ResolveNoCase(const QString& path);

bool PathExistsNoCase(const QString& path);

}  // namespace pelix
