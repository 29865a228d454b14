// The JSON form of a customer header and configuration image, as pelixctl and
// the database export write it. Member and field names are those of the image.
#pragma once

#include "common/langtext.h"
#include "model/image.h"

#include <QByteArray>
#include <QJsonObject>

#include <string>

namespace pelix {

// Every member and field is written. Date-times are local "yyyy-MM-ddTHH:mm:ss.zzz"
// texts, flags are booleans, IP addresses arrays of four numbers.
QJsonObject ImageToJson(const Tag_Cliente& header, const Tag_GlobalBuffer& image);
QByteArray ImageToJsonText(const Tag_Cliente& header, const Tag_GlobalBuffer& image);

// Reads the JSON form. `header` comes in with the model and release to assume when
// the text names none, and goes out as read. A missing member keeps the default
// of the header's model; an unknown member, a value of the wrong type or out of
// range is an error naming it (and nothing is changed). Texts longer than their
// field are cut, as everywhere else.
bool ImageFromJson(const QJsonObject& json, const LanguageTexts& texts, Tag_Cliente& header,
                   Tag_GlobalBuffer& image, std::string& error);
bool ImageFromJsonText(const QByteArray& text, const LanguageTexts& texts, Tag_Cliente& header,
                       Tag_GlobalBuffer& image, std::string& error);

}  // namespace pelix
