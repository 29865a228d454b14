// The simulated communicator, seen from the device's side: a controller that
// answers one-byte commands (PELIX-G, PELIX-I) and connects the line through to
// a GSM module that answers AT commands. PELIX-A exposes its module directly.
//
// The engine is a pure byte machine: Receive() takes what arrived on the line
// and returns what the device sends back, so it can be driven in-process, on a
// thread behind a pseudo-terminal, or from pelixsim.
#pragma once

#include <QJsonObject>
#include <QString>

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace pelix::sim {

enum class Model { G, I, A };
// PELIX-A carries a module of its own kind; G and I a Motorola or an Ericsson.
enum class Module { Motorola, Ericsson, Native };

struct PhoneEntry {
    std::string number;
    int type = 129;
    std::string text;
};

struct PhoneBook {
    int size = 250;
    int textMax = 18;
    std::map<int, PhoneEntry> entries;
};

struct StoredMessage {
    std::string status = "STO UNSENT";
    std::string address;
    std::string text;
};

struct MessageStore {
    int size = 40;
    std::map<int, StoredMessage> messages;
};

struct SentMessage {
    std::string number;
    std::string text;
};

struct DeviceState {
    Model model = Model::G;
    Module module = Module::Motorola;
    bool echo = false;  // the firmware leaves its module with echo off

    // Controller.
    std::string release = "105";   // "6": d1 d2 d3 meaning d1.d2d3
    std::string release2 = "200";  // "5" (PELIX-G)
    std::uint8_t inputs = 0;       // "8" byte 1: low nibble L, high nibble H
    std::uint8_t inputFlags = 0;   // "8" byte 2 bits 2-7 (bits 0 and 1 come from the SIM and readiness)
    std::uint8_t outputsA = 0, outputsB = 0, outputsC = 0;  // ":" bytes 2, 1, 3
    std::array<std::uint8_t, 5> outputValues{255, 255, 255, 255, 255};
    std::uint8_t warnings = 0;       // "7" byte 2 and "=" byte 1
    std::uint8_t extraWarnings = 0;  // "=" byte 2 (bit 1: busy)
    std::uint8_t signal = 120;       // "7" byte 1
    std::uint8_t supply = 180;       // "7" byte 3
    std::int64_t counter1 = 0;       // minutes; negative: the controller answers "ERR"
    std::int64_t counter2 = 0;
    int counterSettleReads = 0;      // reads of ";" before the counters stop ticking
    bool notReady = false;
    bool busy = false;
    int maintenanceCommands = 0;     // byte 198 received
    int moduleResets = 0;            // "U" received

    // SIM and module.
    std::string pin = "1234";
    bool pinEnabled = false;
    bool pinRequired = false;
    int pinTries = 3;
    std::string iccid = "89390100001234567890";
    std::string imei = "351234567890123";
    std::string operatorName = "PELIX NET";
    int csq = 21;
    std::vector<int> cells{18, 12, 9};
    std::string ussdReply = "Credit 10.00 EUR";
    std::string clock = "26/01/01,00:00:00";

    std::map<std::string, PhoneBook> phoneBooks;
    std::string phoneBook;  // selected with AT+CPBS
    std::map<std::string, MessageStore> stores;
    std::string store;      // selected with AT+CPMS
    bool textMode = false;
    std::vector<SentMessage> sent;
};

// A fresh device of the model with its module: empty books and storage, and on
// PELIX-A the release line in message slot 1.
DeviceState DefaultState(Model model, Module module, const std::string& releaseA = "1.05");

QJsonObject StateToJson(const DeviceState& s);
// Missing members keep the values of `base`.
DeviceState StateFromJson(const QJsonObject& o, DeviceState base);
bool LoadStateFile(const QString& path, DeviceState& s, QString* error);
bool SaveStateFile(const QString& path, const DeviceState& s, QString* error);

bool ParseModel(const QString& text, Model& m);
bool ParseModule(const QString& text, Module& m);

struct Faults {
    bool silent = false;                  // answers nothing at all
    std::set<std::string> errorCommands;  // "+CPBW", "E0", ...: answered with ERROR;
                                          // controller bytes ("<32>"): answered "ERR"
    // A command line or a message text holding one of these is refused with
    // ERROR (a full store, a rejected entry): faults in the middle of a write.
    std::vector<std::string> errorContaining;
    bool badChecksum = false;             // controller checksums off by one
    int dropEvery = 0;                    // every n-th byte sent is lost
};

// Normalises a command name as given on the command line ("AT+cpbw" -> "+CPBW").
std::string CommandName(const std::string& text);

class Device {
public:
    Device(DeviceState state, Faults faults);

    // Bytes that arrived; returns the bytes the device sends back.
    std::string Receive(const std::string& bytes);

    DeviceState& state() { return state_; }
    const DeviceState& state() const { return state_; }
    Faults& faults() { return faults_; }
    // True once the state changed since the last call of TakeDirty.
    bool TakeDirty();
    // What the device received: controller bytes as "<3F>"-style tokens ("?"
    // shows as "<3F>"), module command lines as sent.
    const std::vector<std::string>& journal() const { return journal_; }
    bool throughConnected() const { return module_; }

private:
    std::string Controller(std::uint8_t c);
    std::string ModuleByte(char c);
    std::string AtLine(const std::string& line);
    std::string Command(const std::string& name, const std::string& rest);
    std::string PhoneBookCommand(const std::string& name, const std::string& rest);
    std::string MessageCommand(const std::string& name, const std::string& rest);
    std::string FinishPrompt();
    std::string Reply3(std::uint8_t a, std::uint8_t b, std::uint8_t c) const;
    std::string Drop(const std::string& out);
    bool Refused(const std::string& text) const;
    PhoneBook* Book();
    MessageStore* Store();

    DeviceState state_;
    Faults faults_;
    bool module_ = false;  // line connected through to the module
    std::string line_;
    // Prompt mode (after AT+CMGW / AT+CMGS): the message text up to Ctrl-Z.
    enum class Prompt { None, Store, Send } prompt_ = Prompt::None;
    std::string promptText_;
    std::string promptAddress_;
    std::string promptStatus_;
    int counterReads_ = 0;
    long sentBytes_ = 0;
    bool dirty_ = false;
    std::vector<std::string> journal_;
};

}  // namespace pelix::sim
