// The customer database: the header table Clienti in the data folder and the
// nine configuration tables in its "PELIX" sub-folder, and the operations that
// move one customer between them and the program state (header, image and
// EventiAssegnati).
//
// Everything the user has to be told goes through the state's Feedback. Values
// always travel as bound parameters.
#pragma once

#include "db/tablefolders.h"
#include "model/state.h"

#include <QString>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelix {

// SaveCustomerHeader results.
enum HeaderResult : int {
    kHeaderStored = 0,
    kHeaderOtherModel = 1,    // the name belongs to a customer of another model (text 128)
    kHeaderDeclined = 2,      // the user declined to overwrite (text 130 answered No)
    kHeaderCodeTaken = 3,     // the code belongs to another customer (text 129)
    kHeaderDatabaseError = 4,
};

// Language text shown when every code 0000-9999 is taken.
constexpr int kTextNoFreeCustomerCode = 700;

struct CustomerListEntry {
    int SerialCli = 0;
    std::string Nome;
    std::string CodiceCliente;
    int TipoCentrale = 0;
    std::string Comune;
    std::string Rel_firmware;
};

class CustomerDatabase : public CustomerCodeSource {
public:
    explicit CustomerDatabase(ProgramState& st);
    ~CustomerDatabase() override;

    // Opens the tables of the state's data folder (Clienti) and of its "PELIX"
    // sub-folder (the configuration tables). A failure is shown (error, OK) and
    // answered false; the operations then fail with a message.
    bool SetTableLocations();
    bool SetTableLocations(const QString& dataFolder);
    bool IsOpen() const { return tables_ != nullptr; }

    // Reads header and configuration of customer `serial` into the state. The
    // caller has run InitImage. False when the header row is missing or
    // unreadable; a failing configuration table is reported and skipped.
    bool LoadCustomer(int serial);

    // Stores the state's header and image: the header through
    // SaveCustomerHeader's rules, then every configuration table. All of it is
    // one transaction: on any failure the customer stays as it was and the
    // result is false. The date of last change is today's unless `modified`
    // gives it (a copy keeps the original's).
    bool SaveCustomer(const std::string& note, const DateTime* modified = nullptr);

    // Stores only the header row (codes of HeaderResult). On success
    // header.SerialCli is the row's serial number.
    int SaveCustomerHeader(Tag_Cliente& header, int model, const std::string& note);

    // Removes the customer's rows from all ten tables, in one transaction.
    bool DeleteCustomer(int serial);

    // Deletes the rows of `serial` from `table` in `folder`; nothing when the
    // table does not exist there. Throws db::DbError.
    void DeleteRowsOfCustomer(const QString& table, const QString& folder, int serial);

    // The first free four-digit code ("0000".."9999"). Empty after a message
    // when the table cannot be read or every code is taken.
    std::string NextCustomerCode() override;

    // Every header row in the order of `indexField` ("Nome" or "CodiceCliente").
    bool ListCustomers(std::vector<CustomerListEntry>& out, const QString& indexField = QStringLiteral("Nome"));
    std::optional<int> FindByName(const std::string& nome);
    // The customer's free note; false when the row is missing or unreadable.
    bool ReadNote(int serial, std::string& note);

    db::TableFolders* Tables() { return tables_.get(); }
    const QString& DataFolder() const { return dataFolder_; }
    const QString& ConfigFolder() const { return configFolder_; }

private:
    // Who holds the header's name and code now.
    struct HeaderLook {
        std::optional<int> nameOwner;
        int nameOwnerModel = 0;
        std::optional<int> codeOwner;
        std::string codeOwnerName;
        bool operator==(const HeaderLook&) const = default;
    };
    HeaderLook LookUp(const Tag_Cliente& header);
    // The save rules on what LookUp found, with their messages and question;
    // `rowSerial` is the row to overwrite (0 for a new one).
    int Decide(const HeaderLook& look, int model, int& rowSerial);
    int StoreHeader(Tag_Cliente& header, int model, const std::string& note, bool withConfiguration,
                    const DateTime* modified);
    void WriteHeader(Tag_Cliente& header, int rowSerial, const std::string& note, const DateTime* modified);
    void SaveConfiguration();
    void ShowError(const std::string& text);
    void ShowErrorWhileBusy(const std::string& text);
    db::TableFolders& Open();
    void Connect();  // opens tables_ on the data folder and setting; throws DbError

    ProgramState& st_;
    std::unique_ptr<db::TableFolders> tables_;
    QString dataFolder_;
    QString configFolder_;
    QString cfg_;  // schema of the configuration tables
    bool located_ = false;  // SetTableLocations was called: Open() may connect again
    std::string lastConnectError_;
    std::chrono::steady_clock::time_point lastConnectAttempt_;
};

}  // namespace pelix
