#include "sim/device.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace pelix::sim {

namespace {

constexpr char kCR = '\r';
constexpr char kCtrlZ = '\x1A';
constexpr char kEsc = '\x1B';

std::string Upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string Trim(const std::string& s)
{
    const std::size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    const std::size_t b = s.find_last_not_of(' ');
    return s.substr(a, b - a + 1);
}

std::string Info(const std::string& line) { return "\r\n" + line + "\r\n"; }
const std::string kOk = "\r\nOK\r\n";
const std::string kError = "\r\nERROR\r\n";
std::string CmeError(int n) { return "\r\n+CME ERROR: " + std::to_string(n) + "\r\n"; }
std::string CmsError(int n) { return "\r\n+CMS ERROR: " + std::to_string(n) + "\r\n"; }

// Arguments of an AT command: comma-separated, quotes removed, blanks around
// unquoted values dropped. `quoted` tells which were quoted.
std::vector<std::string> Args(const std::string& text, std::vector<bool>* quoted = nullptr)
{
    std::vector<std::string> out;
    std::string cur;
    bool inQuote = false, wasQuoted = false;
    for (char c : text) {
        if (c == '"') {
            inQuote = !inQuote;
            wasQuoted = true;
        } else if (c == ',' && !inQuote) {
            out.push_back(wasQuoted ? cur : Trim(cur));
            if (quoted) quoted->push_back(wasQuoted);
            cur.clear();
            wasQuoted = false;
        } else if (inQuote || c != ' ' || !cur.empty()) {
            cur += c;
        }
    }
    out.push_back(wasQuoted ? cur : Trim(cur));
    if (quoted) quoted->push_back(wasQuoted);
    return out;
}

bool ToInt(const std::string& s, int& v)
{
    if (s.empty() || s.size() > 9) return false;
    v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    return true;
}

std::string Hex(std::uint8_t c)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "<%02X>", c);
    return buf;
}

// EF_ICCID as the SIM stores it: digits swapped in pairs, padded with F.
std::string SwappedIccid(std::string iccid)
{
    while (iccid.size() < 20) iccid += 'F';
    std::string out;
    for (std::size_t i = 0; i + 1 < iccid.size(); i += 2) {
        out += iccid[i + 1];
        out += iccid[i];
    }
    return out;
}

const char* ModelName(Model m) { return m == Model::G ? "G" : m == Model::I ? "I" : "A"; }
const char* ModuleName(Module m)
{
    return m == Module::Motorola ? "motorola" : m == Module::Ericsson ? "ericsson" : "native";
}

}  // namespace

bool ParseModel(const QString& text, Model& m)
{
    const QString t = text.trimmed().toUpper();
    if (t == u"G" || t == u"19" || t == u"PELIX-G") m = Model::G;
    else if (t == u"I" || t == u"22" || t == u"PELIX-I") m = Model::I;
    else if (t == u"A" || t == u"21" || t == u"PELIX-A") m = Model::A;
    else return false;
    return true;
}

bool ParseModule(const QString& text, Module& m)
{
    const QString t = text.trimmed().toLower();
    if (t == u"motorola") m = Module::Motorola;
    else if (t == u"ericsson") m = Module::Ericsson;
    else if (t == u"native") m = Module::Native;
    else return false;
    return true;
}

std::string CommandName(const std::string& text)
{
    std::string t = Upper(Trim(text));
    if (t.rfind("AT", 0) == 0) t = t.substr(2);
    const std::size_t end = t.find_first_of("=?");
    return end == std::string::npos ? t : t.substr(0, end);
}

DeviceState DefaultState(Model model, Module module, const std::string& releaseA)
{
    DeviceState s;
    s.model = model;
    s.module = model == Model::A ? Module::Native : module;
    if (model == Model::G) s.module = Module::Motorola;
    if (s.module == Module::Motorola) {
        s.phoneBooks["ME"] = PhoneBook{500, 16, {}};
        s.phoneBooks["SM"] = PhoneBook{250, 14, {}};
        s.phoneBook = "ME";
        s.stores["ME"] = MessageStore{100, {}};
        s.stores["SM"] = MessageStore{30, {}};
        s.store = "ME";
    } else if (s.module == Module::Ericsson) {
        s.phoneBooks["SM"] = PhoneBook{250, 18, {}};
        s.phoneBooks["ME"] = PhoneBook{200, 18, {}};
        s.phoneBook = "SM";
        s.stores["SM"] = MessageStore{40, {}};
        s.stores["ME"] = MessageStore{100, {}};
        s.store = "SM";
    } else {
        s.phoneBooks["SM"] = PhoneBook{250, 16, {}};
        s.phoneBook = "SM";
        s.stores["SM"] = MessageStore{40, {}};
        s.store = "SM";
        s.stores["SM"].messages[1] = StoredMessage{"STO UNSENT", "", "PELIX-A REV." + releaseA};
    }
    // Call lists the calls page reads.
    for (const char* list : {"RC", "MC", "DC"}) s.phoneBooks[list] = PhoneBook{10, 16, {}};
    s.phoneBooks["RC"].entries[1] = PhoneEntry{"+390212345678", 145, "Office"};
    return s;
}

// --- JSON --------------------------------------------------------------------

namespace {

QString Q(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }
std::string S(const QJsonValue& v, const std::string& fallback)
{
    return v.isString() ? v.toString().toLatin1().toStdString() : fallback;
}
template <typename T>
T N(const QJsonValue& v, T fallback)
{
    return v.isDouble() ? static_cast<T>(v.toDouble()) : fallback;
}
bool B(const QJsonValue& v, bool fallback) { return v.isBool() ? v.toBool() : fallback; }

}  // namespace

QJsonObject StateToJson(const DeviceState& s)
{
    QJsonObject o;
    o["model"] = ModelName(s.model);
    o["module"] = ModuleName(s.module);
    o["echo"] = s.echo;
    QJsonObject c;
    c["release"] = Q(s.release);
    c["release2"] = Q(s.release2);
    c["inputs"] = s.inputs;
    c["inputFlags"] = s.inputFlags;
    c["outputsA"] = s.outputsA;
    c["outputsB"] = s.outputsB;
    c["outputsC"] = s.outputsC;
    QJsonArray values;
    for (auto v : s.outputValues) values.append(v);
    c["outputValues"] = values;
    c["warnings"] = s.warnings;
    c["extraWarnings"] = s.extraWarnings;
    c["signal"] = s.signal;
    c["supply"] = s.supply;
    c["counter1"] = static_cast<double>(s.counter1);
    c["counter2"] = static_cast<double>(s.counter2);
    c["counterSettleReads"] = s.counterSettleReads;
    c["notReady"] = s.notReady;
    c["busy"] = s.busy;
    c["maintenanceCommands"] = s.maintenanceCommands;
    c["moduleResets"] = s.moduleResets;
    o["controller"] = c;

    QJsonObject sim;
    sim["pin"] = Q(s.pin);
    sim["pinEnabled"] = s.pinEnabled;
    sim["pinRequired"] = s.pinRequired;
    sim["pinTries"] = s.pinTries;
    sim["iccid"] = Q(s.iccid);
    o["sim"] = sim;
    o["imei"] = Q(s.imei);
    o["operator"] = Q(s.operatorName);
    o["csq"] = s.csq;
    QJsonArray cells;
    for (int l : s.cells) cells.append(l);
    o["cells"] = cells;
    o["ussdReply"] = Q(s.ussdReply);
    o["clock"] = Q(s.clock);
    o["textMode"] = s.textMode;

    QJsonObject books;
    for (const auto& [name, book] : s.phoneBooks) {
        QJsonObject b;
        b["size"] = book.size;
        b["textMax"] = book.textMax;
        QJsonArray entries;
        for (const auto& [index, e] : book.entries)
            entries.append(QJsonObject{{"index", index}, {"number", Q(e.number)}, {"type", e.type}, {"text", Q(e.text)}});
        b["entries"] = entries;
        books[Q(name)] = b;
    }
    o["phoneBooks"] = books;
    o["phoneBook"] = Q(s.phoneBook);

    QJsonObject stores;
    for (const auto& [name, store] : s.stores) {
        QJsonObject st;
        st["size"] = store.size;
        QJsonArray messages;
        for (const auto& [index, m] : store.messages)
            messages.append(QJsonObject{
                {"index", index}, {"status", Q(m.status)}, {"address", Q(m.address)}, {"text", Q(m.text)}});
        st["messages"] = messages;
        stores[Q(name)] = st;
    }
    o["messageStores"] = stores;
    o["messageStore"] = Q(s.store);

    QJsonArray sent;
    for (const auto& m : s.sent) sent.append(QJsonObject{{"number", Q(m.number)}, {"text", Q(m.text)}});
    o["sent"] = sent;
    return o;
}

DeviceState StateFromJson(const QJsonObject& o, DeviceState s)
{
    Model model = s.model;
    if (o["model"].isString()) ParseModel(o["model"].toString(), model);
    s.model = model;
    Module module = s.module;
    if (o["module"].isString()) ParseModule(o["module"].toString(), module);
    s.module = module;
    s.echo = B(o["echo"], s.echo);

    const QJsonObject c = o["controller"].toObject();
    s.release = S(c["release"], s.release);
    s.release2 = S(c["release2"], s.release2);
    s.inputs = N(c["inputs"], s.inputs);
    s.inputFlags = N(c["inputFlags"], s.inputFlags);
    s.outputsA = N(c["outputsA"], s.outputsA);
    s.outputsB = N(c["outputsB"], s.outputsB);
    s.outputsC = N(c["outputsC"], s.outputsC);
    const QJsonArray values = c["outputValues"].toArray();
    for (qsizetype i = 0; i < values.size() && i < 5; ++i)
        s.outputValues[static_cast<std::size_t>(i)] = N(values[i], s.outputValues[static_cast<std::size_t>(i)]);
    s.warnings = N(c["warnings"], s.warnings);
    s.extraWarnings = N(c["extraWarnings"], s.extraWarnings);
    s.signal = N(c["signal"], s.signal);
    s.supply = N(c["supply"], s.supply);
    s.counter1 = N(c["counter1"], s.counter1);
    s.counter2 = N(c["counter2"], s.counter2);
    s.counterSettleReads = N(c["counterSettleReads"], s.counterSettleReads);
    s.notReady = B(c["notReady"], s.notReady);
    s.busy = B(c["busy"], s.busy);
    s.maintenanceCommands = N(c["maintenanceCommands"], s.maintenanceCommands);
    s.moduleResets = N(c["moduleResets"], s.moduleResets);

    const QJsonObject sim = o["sim"].toObject();
    s.pin = S(sim["pin"], s.pin);
    s.pinEnabled = B(sim["pinEnabled"], s.pinEnabled);
    s.pinRequired = B(sim["pinRequired"], s.pinRequired);
    s.pinTries = N(sim["pinTries"], s.pinTries);
    s.iccid = S(sim["iccid"], s.iccid);
    s.imei = S(o["imei"], s.imei);
    s.operatorName = S(o["operator"], s.operatorName);
    s.csq = N(o["csq"], s.csq);
    if (o["cells"].isArray()) {
        s.cells.clear();
        for (const auto& v : o["cells"].toArray()) s.cells.push_back(N(v, 0));
    }
    s.ussdReply = S(o["ussdReply"], s.ussdReply);
    s.clock = S(o["clock"], s.clock);
    s.textMode = B(o["textMode"], s.textMode);

    if (o["phoneBooks"].isObject()) {
        s.phoneBooks.clear();
        const QJsonObject books = o["phoneBooks"].toObject();
        for (auto it = books.begin(); it != books.end(); ++it) {
            const QJsonObject b = it.value().toObject();
            PhoneBook book{N(b["size"], 250), N(b["textMax"], 18), {}};
            for (const auto& v : b["entries"].toArray()) {
                const QJsonObject e = v.toObject();
                const int index = N(e["index"], 0);
                if (index >= 1 && index <= book.size)
                    book.entries[index] = PhoneEntry{S(e["number"], ""), N(e["type"], 129), S(e["text"], "")};
            }
            s.phoneBooks[it.key().toLatin1().toStdString()] = book;
        }
    }
    s.phoneBook = S(o["phoneBook"], s.phoneBook);
    if (o["messageStores"].isObject()) {
        s.stores.clear();
        const QJsonObject stores = o["messageStores"].toObject();
        for (auto it = stores.begin(); it != stores.end(); ++it) {
            const QJsonObject st = it.value().toObject();
            MessageStore store{N(st["size"], 40), {}};
            for (const auto& v : st["messages"].toArray()) {
                const QJsonObject m = v.toObject();
                const int index = N(m["index"], 0);
                if (index >= 1 && index <= store.size)
                    store.messages[index] = StoredMessage{S(m["status"], "STO UNSENT"), S(m["address"], ""),
                                                          S(m["text"], "")};
            }
            s.stores[it.key().toLatin1().toStdString()] = store;
        }
    }
    s.store = S(o["messageStore"], s.store);
    if (o["sent"].isArray()) {
        s.sent.clear();
        for (const auto& v : o["sent"].toArray())
            s.sent.push_back({S(v.toObject()["number"], ""), S(v.toObject()["text"], "")});
    }
    return s;
}

bool LoadStateFile(const QString& path, DeviceState& s, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = f.errorString();
        return false;
    }
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &pe);
    if (!doc.isObject()) {
        if (error) *error = pe.errorString();
        return false;
    }
    s = StateFromJson(doc.object(), s);
    return true;
}

bool SaveStateFile(const QString& path, const DeviceState& s, QString* error)
{
    // Written aside and renamed, so a simulator stopped mid-write never leaves a
    // truncated state behind.
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error) *error = f.errorString();
        return false;
    }
    f.write(QJsonDocument(StateToJson(s)).toJson());
    if (!f.commit()) {
        if (error) *error = f.errorString();
        return false;
    }
    return true;
}

// --- The device --------------------------------------------------------------

Device::Device(DeviceState state, Faults faults) : state_(std::move(state)), faults_(std::move(faults))
{
    module_ = state_.model == Model::A;
}

bool Device::Refused(const std::string& text) const
{
    for (const std::string& t : faults_.errorContaining)
        if (!t.empty() && text.find(t) != std::string::npos) return true;
    return false;
}

bool Device::TakeDirty()
{
    const bool d = dirty_;
    dirty_ = false;
    return d;
}

std::string Device::Drop(const std::string& out)
{
    if (faults_.dropEvery <= 0) {
        sentBytes_ += static_cast<long>(out.size());
        return out;
    }
    std::string kept;
    for (char c : out)
        if (++sentBytes_ % faults_.dropEvery != 0) kept += c;
    return kept;
}

std::string Device::Receive(const std::string& bytes)
{
    std::string out;
    for (char c : bytes) {
        if (module_ && !(state_.model != Model::A && static_cast<std::uint8_t>(c) == 0xFF))
            out += ModuleByte(c);
        else
            out += Controller(static_cast<std::uint8_t>(c));
    }
    if (faults_.silent) return {};
    return Drop(out);
}

std::string Device::Reply3(std::uint8_t a, std::uint8_t b, std::uint8_t c) const
{
    std::uint8_t sum = static_cast<std::uint8_t>(a + b + c);
    if (faults_.badChecksum) ++sum;
    return std::string{static_cast<char>(a), static_cast<char>(b), static_cast<char>(c), static_cast<char>(sum)};
}

std::string Device::Controller(std::uint8_t c)
{
    if (c == '\r' || c == '\n') return {};
    journal_.push_back(Hex(c));
    const auto text3 = [&](const std::string& t) {
        return Reply3(static_cast<std::uint8_t>(t[0]), static_cast<std::uint8_t>(t[1]),
                      static_cast<std::uint8_t>(t[2]));
    };
    const auto counter = [&](std::int64_t value) -> std::string {
        if (value < 0) return "ERR";
        const auto v = static_cast<std::uint32_t>(value);
        return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                           static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
    };
    // A controller command named as a fault ("<32>") is refused the way the
    // controller refuses what it will not do.
    if (faults_.errorCommands.count(Hex(c))) return text3("ERR");
    switch (c) {
    case '?':
        return text3("PRG");
    case 0xC3:
    case 0xCC:
        module_ = true;
        line_.clear();
        return "\xFE";
    case 0xFF:
        module_ = false;
        prompt_ = Prompt::None;
        return "\xFF";
    case ';': {
        // Before the counters settle each read sees them a minute further on.
        const int ahead = std::max(0, state_.counterSettleReads - counterReads_++);
        return counter(state_.counter1 < 0 ? -1 : state_.counter1 + ahead);
    }
    case '<': {
        const int ahead = std::max(0, state_.counterSettleReads - counterReads_ + 1);
        return counter(state_.counter2 < 0 ? -1 : state_.counter2 + ahead);
    }
    case '6':
        return text3((state_.release + "000").substr(0, 3));
    case '5':
        return text3((state_.release2 + "000").substr(0, 3));
    case '=':
        return Reply3(state_.warnings,
                      static_cast<std::uint8_t>((state_.extraWarnings & ~0x02) | (state_.busy ? 0x02 : 0)), 0);
    case '8': {
        std::uint8_t flags = static_cast<std::uint8_t>(state_.inputFlags & 0xFC);
        if (state_.pinRequired) flags |= 0x01;
        if (state_.notReady) flags |= 0x02;
        return Reply3(state_.inputs, flags, state_.outputValues[0]);
    }
    case '7':
        return Reply3(state_.signal, state_.warnings, state_.supply);
    case ':':
        return Reply3(state_.outputsB, state_.outputsA, state_.outputsC);
    case '9':
        return Reply3(state_.outputValues[1], state_.outputValues[2], state_.outputValues[3]);
    case 198:
        ++state_.maintenanceCommands;
        dirty_ = true;
        return text3("ACK");
    case 'U':
        // The module restarts; a SIM with its PIN on asks for it again.
        ++state_.moduleResets;
        state_.pinRequired = state_.pinEnabled;
        dirty_ = true;
        return kOk;
    case '0': case '1': case '2': case '3': case '4': {
        const int bit = c - '0';
        state_.outputsA ^= static_cast<std::uint8_t>(1u << bit);
        state_.outputsB ^= static_cast<std::uint8_t>(1u << bit);
        dirty_ = true;
        return text3("ACK");
    }
    default:
        return {};
    }
}

std::string Device::ModuleByte(char c)
{
    std::string out;
    if (state_.echo) out += c;
    if (prompt_ != Prompt::None) {
        if (c == kCtrlZ) return out + FinishPrompt();
        if (c == kEsc) {
            prompt_ = Prompt::None;
            return out + kOk;
        }
        promptText_ += c;
        return out;
    }
    if (c == kCR) {
        std::string line;
        line.swap(line_);
        return out + AtLine(line);
    }
    if (c == '\n' && line_.empty()) return out;
    if (line_.size() < 1024) line_ += c;
    return out;
}

std::string Device::AtLine(const std::string& raw)
{
    std::string line = raw;
    // "+++" returns a module to command mode; it may run straight into a command.
    while (line.rfind("+++", 0) == 0) line = line.substr(3);
    line = Trim(line);
    if (line.empty()) return {};
    journal_.push_back(line);
    if (Upper(line.substr(0, 2)) != "AT") return kError;
    const std::string body = line.substr(2);
    // A bare "AT" is named "" (CommandName("AT")), so it can be made to fail too.
    if (body.empty()) return faults_.errorCommands.count("") ? kError : kOk;
    std::string name, rest;
    if (body[0] == '+' || body[0] == '^') {
        std::size_t i = 1;
        while (i < body.size() && std::isalnum(static_cast<unsigned char>(body[i]))) ++i;
        name = Upper(body.substr(0, i));
        rest = body.substr(i);
    } else {
        name = Upper(body);  // basic commands: E0, E1, H, Z...
    }
    if (faults_.errorCommands.count(name) || Refused(line)) return kError;
    return Command(name, rest);
}

PhoneBook* Device::Book()
{
    auto it = state_.phoneBooks.find(state_.phoneBook == "MT" ? "ME" : state_.phoneBook);
    return it == state_.phoneBooks.end() ? nullptr : &it->second;
}

// The combined storage "MT" is the phone memory here: the simulated SIM keeps no
// messages or entries of its own beside it.
MessageStore* Device::Store()
{
    auto it = state_.stores.find(state_.store == "MT" ? "ME" : state_.store);
    return it == state_.stores.end() ? nullptr : &it->second;
}

std::string Device::Command(const std::string& name, const std::string& rest)
{
    const bool motorola = state_.module == Module::Motorola;
    const bool ericsson = state_.module == Module::Ericsson;
    const bool query = rest == "?";
    const std::string args = !rest.empty() && rest[0] == '=' ? rest.substr(1) : rest;

    if (name == "E0" || name == "E1") {
        state_.echo = name == "E1";
        return kOk;
    }
    if (name == "H" || name == "Z" || name == "&F") return kOk;
    if (name == "+CGMI" || name == "+GMI") {
        if (motorola) return Info("+CGMI: \"Motorola\"") + kOk;
        if (ericsson) return Info("ERICSSON") + kOk;
        return Info("PELIX GSM") + kOk;
    }
    if (name == "+CGMM" || name == "+GMM") {
        if (motorola) return Info("+CGMM: \"GSM900\",\"GSM1800\",\"MODEL=G24\"") + kOk;
        if (ericsson) return Info("1130202-BVGM47") + kOk;  // a part number ending in the model
        return Info("PX35") + kOk;
    }
    if (name == "+CGMR" || name == "+GMR") {
        if (motorola) return Info("+CGMR: \"G24_G_0C.11.62R\"") + kOk;
        if (ericsson) return Info("R2B003 prgCXC125582") + kOk;
        return Info("REVISION 02.00") + kOk;
    }
    if (name == "+CGSN" || name == "+GSN") {
        if (motorola) return Info("+CGSN: \"IMEI" + state_.imei + "\"") + kOk;
        return Info(state_.imei) + kOk;
    }
    if (name == "^SCID") return Info("^SCID: " + state_.iccid) + kOk;
    if (name == "+CSQ") return Info("+CSQ: " + std::to_string(state_.csq) + ",99") + kOk;
    if (name == "^MONP") {
        std::string out = Info("chann rs  dBm   PLMN  BCC C1 C2");
        int chann = 504;
        for (int level : state_.cells)
            out += "\r\n" + std::to_string(chann++) + "   " + std::to_string(level) + "  -" +
                   std::to_string(110 - level) + "   22201  3  30 28\r\n";
        return out + kOk;
    }
    if (name == "+CCLK") {
        if (query) return Info("+CCLK: \"" + state_.clock + "\"") + kOk;
        const auto a = Args(args);
        if (a.empty() || a[0].size() != 17) return kError;
        state_.clock = a[0];
        dirty_ = true;
        return kOk;
    }
    if (name == "+MIPCALL" || name == "+MIPCLOSE") return kOk;

    if (name == "+CPIN") {
        if (query) {
            if (state_.pinTries <= 0) return Info("+CPIN: SIM PUK") + kOk;
            return Info(state_.pinRequired ? "+CPIN: SIM PIN" : "+CPIN: READY") + kOk;
        }
        const auto a = Args(args);
        if (state_.pinTries <= 0) return CmeError(12);
        if (!state_.pinRequired) return CmeError(3);  // nothing to unlock
        if (a.empty() || a[0] != state_.pin) {
            --state_.pinTries;
            dirty_ = true;
            return CmeError(16);
        }
        state_.pinRequired = false;
        state_.pinTries = 3;
        dirty_ = true;
        return kOk;
    }
    if (name == "+CLCK") {
        const auto a = Args(args);
        if (a.size() < 2 || Upper(a[0]) != "SC") return kError;
        if (state_.pinRequired) return CmeError(11);
        if (a[1] == "2") return Info(std::string("+CLCK: ") + (state_.pinEnabled ? "1" : "0")) + kOk;
        if (a.size() < 3 || a[2] != state_.pin) {
            --state_.pinTries;
            dirty_ = true;
            return CmeError(16);
        }
        if (a[1] != "0" && a[1] != "1") return kError;
        state_.pinEnabled = a[1] == "1";
        state_.pinTries = 3;
        dirty_ = true;
        return kOk;
    }

    // Everything below needs the SIM.
    if (state_.pinRequired || state_.pinTries <= 0) return CmeError(state_.pinTries <= 0 ? 12 : 11);

    if (name == "+CRSM") {
        const auto a = Args(args);
        if (a.size() < 2 || a[0] != "176" || a[1] != "242") return Info("+CRSM: 148,4") + kOk;
        return Info("+CRSM: 144,0,\"" + SwappedIccid(state_.iccid) + "\"") + kOk;
    }
    if (name == "+COPS") {
        if (query) return Info("+COPS: 0,0,\"" + state_.operatorName + "\"") + kOk;
        return kOk;
    }
    if (name == "+CUSD") {
        const auto a = Args(args);
        if (a.size() < 2 || a[1].empty()) return kError;
        return kOk + Info("+CUSD: 0,\"" + state_.ussdReply + "\",15");
    }
    if (name.rfind("+CPB", 0) == 0) return PhoneBookCommand(name, rest);
    if (name.rfind("+CMG", 0) == 0 || name == "+CPMS") return MessageCommand(name, rest);
    return kError;
}

std::string Device::PhoneBookCommand(const std::string& name, const std::string& rest)
{
    const std::string args = !rest.empty() && rest[0] == '=' ? rest.substr(1) : rest;
    if (name == "+CPBS") {
        if (rest == "?") {
            const PhoneBook* b = Book();
            return Info("+CPBS: \"" + state_.phoneBook + "\"," + std::to_string(b ? b->entries.size() : 0) + "," +
                        std::to_string(b ? b->size : 0)) +
                   kOk;
        }
        const auto a = Args(args);
        const std::string want = a.empty() ? std::string() : Upper(a[0]);
        if (want != "MT" && !state_.phoneBooks.count(want)) return CmeError(3);
        state_.phoneBook = want;
        dirty_ = true;
        return kOk;
    }
    PhoneBook* book = Book();
    if (!book) return CmeError(3);
    if (name == "+CPBR") {
        if (args == "?") return Info("+CPBR: (1-" + std::to_string(book->size) + "),40," + std::to_string(book->textMax)) + kOk;
        const auto a = Args(args);
        int from = 0, to = 0;
        if (a.empty() || !ToInt(a[0], from)) return kError;
        to = from;
        if (a.size() > 1 && !ToInt(a[1], to)) return kError;
        if (from < 1 || from > book->size || to < from) return CmeError(21);
        std::string out;
        for (auto it = book->entries.lower_bound(from); it != book->entries.end() && it->first <= to; ++it)
            out += Info("+CPBR: " + std::to_string(it->first) + ",\"" + it->second.number + "\"," +
                        std::to_string(it->second.type) + ",\"" + it->second.text + "\"");
        return out + kOk;
    }
    if (name == "+CPBW") {
        if (args == "?")
            return Info("+CPBW: (1-" + std::to_string(book->size) + "),40,(129,145)," + std::to_string(book->textMax)) + kOk;
        const auto a = Args(args);
        int index = 0;
        if (a.empty()) return kError;
        if (a[0].empty()) {
            for (index = 1; index <= book->size && book->entries.count(index); ++index) {
            }
        } else if (!ToInt(a[0], index)) {
            return kError;
        }
        if (index < 1 || index > book->size) return CmeError(21);
        if (a.size() == 1 || (a.size() >= 2 && a[1].empty() && (a.size() < 4 || a[3].empty()))) {
            book->entries.erase(index);
            dirty_ = true;
            return kOk;
        }
        PhoneEntry e;
        e.number = a[1];
        if (e.number.size() > 40) return CmeError(26);
        if (a.size() > 2 && !a[2].empty() && !ToInt(a[2], e.type)) return kError;
        if (a.size() <= 2 || a[2].empty()) e.type = !e.number.empty() && e.number[0] == '+' ? 145 : 129;
        if (a.size() > 3) e.text = a[3];
        if (static_cast<int>(e.text.size()) > book->textMax) return CmeError(24);
        book->entries[index] = e;
        dirty_ = true;
        return kOk;
    }
    return kError;
}

std::string Device::MessageCommand(const std::string& name, const std::string& rest)
{
    const std::string args = !rest.empty() && rest[0] == '=' ? rest.substr(1) : rest;
    if (name == "+CMGF") {
        if (rest == "?") return Info(std::string("+CMGF: ") + (state_.textMode ? "1" : "0")) + kOk;
        if (args != "0" && args != "1") return kError;
        state_.textMode = args == "1";
        dirty_ = true;
        return kOk;
    }
    if (name == "+CPMS") {
        const auto a = Args(args);
        if (rest != "?") {
            const std::string want = a.empty() ? std::string() : Upper(a[0]);
            if (want != "MT" && !state_.stores.count(want)) return CmsError(302);
            state_.store = want;
            dirty_ = true;
        }
        const MessageStore* s = Store();
        const std::string use = std::to_string(s ? s->messages.size() : 0) + "," + std::to_string(s ? s->size : 0);
        if (rest == "?") return Info("+CPMS: \"" + state_.store + "\"," + use) + kOk;
        return Info("+CPMS: " + use + "," + use + "," + use) + kOk;
    }
    MessageStore* store = Store();
    if (!store) return CmsError(302);
    if (name == "+CMGW" || name == "+CMGS") {
        // AT+CMGW, AT+CMGW=<da>[,<toda>[,<stat>]] and the form AT+CMGW,,"<stat>".
        const auto a = Args(args);
        promptAddress_ = a.empty() ? std::string() : a[0];
        promptStatus_ = a.size() > 2 && !a[2].empty() ? Upper(a[2]) : "STO UNSENT";
        if (name == "+CMGS" && promptAddress_.empty()) return CmsError(304);
        prompt_ = name == "+CMGW" ? Prompt::Store : Prompt::Send;
        promptText_.clear();
        // As real modules send it: no CR after the prompt.
        return "\r\n> ";
    }
    if (name == "+CMGR") {
        int index = 0;
        if (!ToInt(Trim(args), index) || index < 1 || index > store->size) return CmsError(321);
        auto it = store->messages.find(index);
        if (it == store->messages.end()) return Info("+CMGR: 0,,0") + kOk;
        StoredMessage& m = it->second;
        const std::string out = Info("+CMGR: \"" + m.status + "\",\"" + m.address + "\",") + m.text + "\r\n" + kOk;
        if (m.status == "REC UNREAD") {
            m.status = "REC READ";
            dirty_ = true;
        }
        return out;
    }
    if (name == "+CMGL") {
        const auto a = Args(args);
        const std::string want = a.empty() || a[0].empty() ? std::string("ALL") : Upper(a[0]);
        std::string out;
        for (const auto& [index, m] : store->messages) {
            if (want != "ALL" && want != "4" && want != m.status) continue;
            out += Info("+CMGL: " + std::to_string(index) + ",\"" + m.status + "\",\"" + m.address + "\",,") +
                   m.text + "\r\n";
        }
        return out + kOk;
    }
    if (name == "+CMGD") {
        const auto a = Args(args);
        int index = 0, flag = 0;
        if (a.empty() || !ToInt(a[0], index)) return kError;
        if (a.size() > 1 && !ToInt(a[1], flag)) return kError;
        if (flag == 4) {
            store->messages.clear();
        } else {
            if (index < 1 || index > store->size) return CmsError(321);
            store->messages.erase(index);
        }
        dirty_ = true;
        return kOk;
    }
    return kError;
}

std::string Device::FinishPrompt()
{
    const Prompt kind = prompt_;
    prompt_ = Prompt::None;
    journal_.push_back("<text>" + promptText_);
    if (Refused(promptText_)) return kError;
    if (promptText_.size() > 160) return CmsError(304);
    if (kind == Prompt::Send) {
        state_.sent.push_back({promptAddress_, promptText_});
        dirty_ = true;
        return Info("+CMGS: " + std::to_string(state_.sent.size() % 256)) + kOk;
    }
    MessageStore* store = Store();
    if (!store) return CmsError(302);
    int index = 1;
    while (index <= store->size && store->messages.count(index)) ++index;
    if (index > store->size) return CmsError(322);
    store->messages[index] = StoredMessage{promptStatus_, promptAddress_, promptText_};
    dirty_ = true;
    return Info("+CMGW: " + std::to_string(index)) + kOk;
}

}  // namespace pelix::sim
