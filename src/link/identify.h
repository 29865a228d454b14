// Identification of the GSM module, and the USSD request that goes through the
// same connection.
#pragma once

#include "link/exchange.h"

#include <string>

namespace pelix {

// The PELIX-G variant waits T x 2 before (and after) giving the line back and
// flushes first; the PELIX-I variant (also used by remote programming) releases
// at once.
enum class IdentifyVariant { PelixG, PelixI };

// Connects through the controller and asks the module for manufacturer, model,
// revision, serial number, SIM data and operator, filling `info` in that order.
// A refused answer ends the sequence early. True whenever the controller
// connected.
bool ModemIdentify(LinkContext& ctx, stRecModemInfo& info, bool releaseAfter, bool forWriting, IdentifyVariant variant);

// PELIX-A, whose module is spoken to directly: model ("at+gmm"), manufacturer
// ("at+gmi"), revision ("at+gmr"), serial ("at+gsn") and SIM identity
// ("at^scid") in the first five strings. True when the model and the SIM
// identity were both had.
bool ModemIdentifyA(LinkContext& ctx, stRecModemInfo& info);

// Sends a USSD request and shows the network's answer (or language text 164).
// True whenever the controller connected.
bool ModemUssd(LinkContext& ctx, bool releaseAfter, bool forWriting, const std::string& serviceCode);

// How the answers of each maker are read (exposed for the tests).
std::string IdManufacturer(const std::string& answer);
std::string IdModel(const std::string& answer, const std::string& manufacturer);
std::string IdQuoted(const std::string& answer, bool motorola);  // revision, serial number
std::string IdSimData(const std::string& answer, bool motorola);
std::string IdOperator(const std::string& answer);
bool IsMotorola(const std::string& manufacturer);

}  // namespace pelix
