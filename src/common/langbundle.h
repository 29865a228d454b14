// Language bundles: one ".CMP" text file per language that packs the language's
// files; each member starts with a marker line "BOF ->" followed by its file name.
#pragma once

#include "feedback.h"

#include <QString>

namespace pelix {

// Unpacks every "*.CMP" bundle in the "LANGUAGE" folder of `baseFolder` into
// "LANGUAGE/<bundle name>/" and deletes the bundle. The first error is shown
// and ends the unpacking; bundles not yet handled stay in place.
// Returns false when an error stopped it.
bool SplitLanguageBundles(const QString& baseFolder, Feedback& fb);

// The member file name a marker line names: the text after "BOF ->", trimmed of
// blanks; only its last path component counts, so a bundle cannot write outside
// its own folder. Empty when the line names no usable file.
std::string BundleMemberName(std::string_view markerLine);

}  // namespace pelix
