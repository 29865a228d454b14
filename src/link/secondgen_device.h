// PELIX-G and PELIX-I storage: the section texts and the inputs' SMS texts kept
// as messages in the GSM module, found again through a directory of phone-book
// entries "PX1".."PX25" (Ericsson modules: message k is slot k-1), beside the
// phone numbers, the digital-communicator numbers and, on PELIX-I, the packed
// entry 100 with the two timers and the user code.
#pragma once

#include "link/codec/sections.h"
#include "link/exchange.h"

#include <string>
#include <vector>

namespace pelix {

// One listed phone-book entry.
struct stRecAgenda {
    std::string Linea;  // the listed line
    std::int32_t Indice = -1;
    std::string Numero;
    std::string Nome;
};

// One listed message: its header line and the line after it.
struct stSms {
    std::string Intestazione;
    std::string Testo;
};

constexpr std::size_t kListingMax = 200;

// The three layouts of the phone book and the message storage.
enum class StorageForm { PelixG, PelixIMotorola, PelixIEricsson };

// The message prompt: characters without CR and LF until the line falls silent
// for one character time-out or more than 32 have come. The prompt ends without
// CR, so this always sits out that time-out.
std::string CollectPrompt(LinkContext& ctx);

// "AT": 0 answered "OK", 1 no answer, 2 another answer.
int ModemReady(LinkContext& ctx);

// +CPBR: 101,"0212345678",129,"Office"  -> 101, 0212345678, Office
// False (and Indice -1) when the index cannot be read.
bool ParseAgendaLine(const std::string& line, stRecAgenda& entry);

// Lists the phone book (up to 200 entries) and copies the numbers of the
// form's layout into the image. False when the module answered with an error.
bool ListPhoneBook(LinkContext& ctx, std::vector<stRecAgenda>& listing, StorageForm form);
// Lists every stored message. False on an error.
bool ListMessages(LinkContext& ctx, std::vector<stSms>& messages);
// The reading halves of the two listings, after their command went out.
bool ReadPhoneBookListing(LinkContext& ctx, std::vector<stRecAgenda>& listing, StorageForm form);
bool ReadMessageListing(LinkContext& ctx, std::vector<stSms>& messages);
// Ericsson: messages 1-25 one by one, decoded into the image. False when a
// message got no answer at all.
bool ReadMessagesInOrder(LinkContext& ctx);
// The position in `listing` of the entry whose index (byIndex) or name is `key`; -1 when none.
int FindDirectoryEntry(const std::vector<stRecAgenda>& listing, const std::string& key, bool byIndex);
// The text of the listed message stored at `index`; false when none is listed.
bool ListedMessageText(const std::vector<stSms>& messages, std::int32_t index, std::string& text);

// Writes phone numbers, digital-communicator numbers and (PELIX-I) entry 100.
bool WritePhoneBook2(LinkContext& ctx, StorageForm form);
// Stores the slots as messages and (Motorola) records each one's storage index
// in its directory entry.
bool StoreSlots(LinkContext& ctx, StorageForm form);

// The twelve digits of PELIX-I entry 100: minutes from `now` to the first
// periodic SMS and to the first periodic report, six digits each (0 once past).
std::string TimerDigits(const Tag_GlobalBuffer& image, DateTime now);

// The four entry points. Each shows the progress display, reports its failures
// in message boxes and closes the port; the result tells whether it completed.
// The reads decode into the current image, which the caller has reset to its
// defaults.
bool ReadDeviceG(LinkContext& ctx);
bool ReadDeviceI(LinkContext& ctx);
bool WriteDeviceG(LinkContext& ctx);
bool WriteDeviceI(LinkContext& ctx);

}  // namespace pelix
