// The configuration image: the whole configuration of one communicator, and the
// customer header that sits beside it.
#pragma once

#include "common/text.h"

#include <array>
#include <cstdint>
#include <string>

namespace pelix {

// Model codes (the header's TipoCentrale).
constexpr std::uint8_t kModelG = 19;  // PELIX-G
constexpr std::uint8_t kModelA = 21;  // PELIX-A
constexpr std::uint8_t kModelI = 22;  // PELIX-I

constexpr int kPhoneEntries = 100;
constexpr int kMessageLabels = 8;
constexpr int kInputs = 8;
constexpr int kOutputs = 5;
constexpr int kSmsTexts = 9;
constexpr int kEvents = 18;
constexpr int kMaxEventiAssegnati = 7;

// Phone entries in use (shown and stored) and input entries stored, by model.
int PhoneEntriesInUse(int model);
int InputsStored(int model);
bool IsSecondGeneration(int model);

// A date-time: days since 1899-12-30, the fraction being the local time of day.
using DateTime = double;

struct Tag_NumTel {
    CountedString<20> Descrizione;
    CountedString<20> Numero;
    std::uint8_t Avvisatore = 0;
    std::uint8_t Uscite = 0;
    bool operator==(const Tag_NumTel&) const = default;
};

using Tag_Messaggio = std::string;
using Tag_Messaggi = std::array<Tag_Messaggio, kMessageLabels>;

struct Tag_Ingresso {
    std::uint8_t Polarita = 0;
    std::uint8_t Messaggio = 0;
    std::uint8_t MaskTel = 0;
    std::uint8_t MaskSms = 0;
    std::uint8_t SmsA = 0;
    std::uint8_t SmsR = 0;
    std::uint8_t Serv = 0;
    CountedString<100> SMSAttiv;
    CountedString<100> SMSRipr;
    std::uint8_t ServPELIX_I_1 = 0;
    std::uint8_t ServPELIX_I_2 = 0;
    bool operator==(const Tag_Ingresso&) const = default;
};

struct Tag_Uscita {
    std::uint8_t Polarita = 0;
    std::uint8_t FP = 0;
    std::uint8_t FG = 0;
    std::uint8_t BC = 0;
    std::uint8_t BP = 0;
    std::uint8_t CO = 0;
    std::uint8_t CI = 0;
    std::uint8_t MS = 0;
    std::uint8_t OUTRESERV = 0;
    CountedString<20> Messaggio;
    std::uint8_t MaskEventiPELIX_I = 0;
    std::uint8_t Tipo = 0;
    std::uint8_t TempoOn = 0;
    std::uint8_t Conferma = 0;
    bool operator==(const Tag_Uscita&) const = default;
};

struct Tag_Opzioni {
    std::uint8_t Voceinlinea = 0;
    std::uint8_t Squillo = 0;
    std::uint8_t Selezione = 0;
    CountedString<4> Prefisso;
    std::uint8_t Richiama = 0;
    CountedString<8> CodUscSms;
    std::int32_t CifreRim = 0;
    std::uint8_t UsaGsm = 0;
    std::uint8_t CommutaChiama = 0;
    CountedString<20> NtelADT;
    DateTime SMSDataPrimo = 0;
    DateTime SMSOraPrimo = 0;
    std::uint32_t SMSIntervallo = 0;
    std::uint8_t ControlloCreditoAttivo = 0;
    std::uint8_t ControlloCredito = 0;
    std::uint8_t Priorita = 0;
    CountedString<7> StringaControllo;
    std::uint32_t SegPrimoUnix = 0;
    std::uint32_t SMSPrimoUnix = 0;
    bool operator==(const Tag_Opzioni&) const = default;
};

struct Tag_Evento {
    CountedString<4> CodiceUtente;
    CountedString<1> CodiceEvento1;
    CountedString<2> CodiceEvento2;
    std::uint8_t Invia = 0;
    bool operator==(const Tag_Evento&) const = default;
};

struct Tag_ComDig {
    CountedString<20> Numero1;
    CountedString<20> Numero2;
    CountedString<20> Numero3;
    CountedString<20> Numero4;
    std::array<Tag_Evento, kEvents> Eventi{};
    DateTime SegDataPrimo = 0;
    DateTime SegOraPrimo = 0;
    std::uint32_t SegIntervallo = 0;
    bool operator==(const Tag_ComDig&) const = default;
};

struct Tag_GPRS {
    std::array<std::uint8_t, 4> IP{};
    std::array<std::uint8_t, 4> IP2{};
    std::int32_t Port2 = 0;
    std::int32_t Port = 0;
    CountedString<32> APN;
    CountedString<32> APN2;
    CountedString<16> CID1;
    CountedString<16> CID2;
    std::int32_t Super = 0;
    std::uint8_t SuperAttiva = 0;
    std::uint8_t CIDPresente = 0;
    CountedString<10> Account;
    CountedString<12> DNIS;
    CountedString<21> SIM;
    std::uint8_t NtelChiamataADT = 0;
    CountedString<32> UserName;
    CountedString<32> Pwd;
    bool operator==(const Tag_GPRS&) const = default;
};

struct Tag_GlobalBuffer {
    std::array<Tag_NumTel, kPhoneEntries> NumTel{};
    Tag_Messaggi Messaggi{};
    std::array<Tag_Ingresso, kInputs> Ingresso{};
    std::array<Tag_Uscita, kOutputs> Uscite{};
    Tag_Opzioni Opzioni{};
    std::array<CountedString<140>, kSmsTexts> Sms{};
    Tag_ComDig ComDig{};
    Tag_GPRS GPRS{};
    // Field by field in declaration order, stopping at the first difference.
    bool operator==(const Tag_GlobalBuffer&) const = default;
};

struct Tag_Cliente {
    std::int32_t SerialCli = 0;
    CountedString<35> Nome;
    CountedString<35> Indirizzo;
    CountedString<35> Comune;
    CountedString<35> Telefono;
    CountedString<35> TelCentrale;
    std::uint8_t TipoCentrale = kModelG;
    CountedString<35> DescrImpianto;
    CountedString<4> CodiceCliente;
    DateTime DataUltModifica = 0;
    std::uint8_t NotePresenti = 0;
    CountedString<16> Rel_firmware;
    bool operator==(const Tag_Cliente&) const = default;
};

// Number of event flags (FP, FG, BC, BP, CO, CI, MS) set over all outputs.
int CountOutputEvents(const Tag_GlobalBuffer& image);

}  // namespace pelix
