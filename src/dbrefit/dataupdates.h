// Data that the suite's programs expect to find: the default user, the
// first-installation row, the per-country telephone-line timing sets of the
// telephone communicators with their tone-recognition bounds, and two one-off
// corrections of older products' tables.
#pragma once

#include "common/feedback.h"
#include "db/tablefolders.h"

#include <QString>

namespace pelix::refit {

// Timing values are kept in steps of 30 ms: 5000 is stored as 4980.
int CutToStep(int value);
// The inter-digit pause travels as a 5-bit code: the stored value is what the
// code gives back (130 stays 130, 80 becomes 70).
int InterdigitCode(int value);
int EncodeInterdigit(int value);

// Inserts each missing country set (looked up by DesParam) into AVTEL of
// `lumeraFolder`, and only with it its 13 rows in RICTONI. A set that cannot be
// stored is reported and leaves nothing behind; the others still go in.
// Returns the number of sets inserted.
int SeedCountryParameters(db::TableFolders& t, const QString& lumeraFolder, Feedback& fb);

// "UPDATE Q_COMUN SET OpzTel = -1" or "UPDATE LUMERA SET Opzioni3 = 255" in
// `folder`; every error is ignored.
void CorrectOlderTable(db::TableFolders& t, const QString& folder, const QString& tableFile);

// The installation row of COMUNE in the main folder. Throws db::DbError.
void InsertFirstInstallationRow(db::TableFolders& t);

// Adds the user "master" with full rights to USERS in `folder` unless a user of
// that name exists. Throws db::DbError.
void EnsureMasterUser(db::TableFolders& t, const QString& folder);

}  // namespace pelix::refit
