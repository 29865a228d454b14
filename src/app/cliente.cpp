#include "cliente.h"

#include "common/text.h"
#include "model/datetime.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pelix {

namespace {

QLineEdit* Field(QWidget* parent, int maxLength)
{
    auto* e = new QLineEdit(parent);
    e->setMaxLength(maxLength);
    return e;
}

}  // namespace

TfrmCliente::TfrmCliente(ProgramState& st, CustomerDatabase& db, QWidget* parent) : QDialog(parent), st_(st), db_(db)
{
    setWindowFlags(windowFlags() | Qt::MSWindowsFixedSizeDialogHint);
    txtNome = Field(this, 35);
    txtIndirizzo = Field(this, 35);
    txtComune = Field(this, 35);
    txtNumTelCliente = Field(this, 35);
    txtNumTelSim = Field(this, 35);
    txtDescrImpianto = Field(this, 35);
    txtCodiceCliente = Field(this, 4);
    txtCodiceCliente->setText(QStringLiteral("0000"));
    btnfindcode = new QPushButton(this);
    txtLastChange = new QLineEdit(this);
    txtTipoCentrale = new QLineEdit(this);
    txtFirmware = new QLineEdit(this);
    for (QLineEdit* e : {txtLastChange, txtTipoCentrale, txtFirmware}) e->setEnabled(false);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    BitBtn1 = new QPushButton(this);
    BitBtn2 = new QPushButton(this);
    BitBtn1->setDefault(true);

    auto text = [&st](int n) { return FromCp1252(st.Text(n)); };
    setWindowTitle(text(82));
    auto* form = new QFormLayout;
    form->addRow(text(83), txtNome);
    form->addRow(text(84), txtIndirizzo);
    form->addRow(text(85), txtComune);
    form->addRow(text(86), txtNumTelCliente);
    form->addRow(text(241), txtNumTelSim);
    form->addRow(text(87), txtDescrImpianto);
    auto* code = new QHBoxLayout;
    code->addWidget(txtCodiceCliente);
    code->addWidget(btnfindcode);
    form->addRow(text(88), code);
    form->addRow(text(89), txtLastChange);
    form->addRow(text(165), txtTipoCentrale);
    form->addRow(text(92), txtFirmware);
    form->addRow(text(90), Memo1);
    btnfindcode->setText(text(93));
    BitBtn1->setText(text(94));
    BitBtn2->setText(text(95));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(btnfindcode, &QPushButton::clicked, this,
            [this] { txtCodiceCliente->setText(FromCp1252(db_.NextCustomerCode())); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmCliente::showEvent(QShowEvent* e)
{
    if (!shown_) FormShow();
    shown_ = true;
    QDialog::showEvent(e);
}

void TfrmCliente::FormShow()
{
    const Tag_Cliente& h = st_.cliente;
    txtNome->setText(FromCp1252(h.Nome.view()));
    txtIndirizzo->setText(FromCp1252(h.Indirizzo.view()));
    txtComune->setText(FromCp1252(h.Comune.view()));
    txtNumTelCliente->setText(FromCp1252(h.Telefono.view()));
    txtNumTelSim->setText(FromCp1252(h.TelCentrale.view()));
    txtDescrImpianto->setText(FromCp1252(h.DescrImpianto.view()));
    txtCodiceCliente->setText(FromCp1252(h.CodiceCliente.view()));
    txtLastChange->setText(QLocale::system().toString(FromDateTime(h.DataUltModifica), QLocale::ShortFormat));
    txtTipoCentrale->setText(h.TipoCentrale < kModelNameCount ? FromCp1252(st_.modelNames[h.TipoCentrale]) : QString());
    txtFirmware->setText(FromCp1252(h.Rel_firmware.view()));
    Memo1->clear();
    if (h.NotePresenti && h.SerialCli >= 1) {
        std::string note;
        if (db_.ReadNote(h.SerialCli, note)) Memo1->setPlainText(FromCp1252(note));
    }
}

void TfrmCliente::BitBtn1Click()
{
    if (txtNome->text().isEmpty()) {
        QApplication::beep();
        return;
    }
    Tag_Cliente& h = st_.cliente;
    h.Nome = ToCp1252(txtNome->text());
    h.CodiceCliente = PadLeft(ToCp1252(txtCodiceCliente->text()), 4, '0');
    h.Indirizzo = ToCp1252(txtIndirizzo->text());
    h.Comune = ToCp1252(txtComune->text());
    h.Telefono = ToCp1252(txtNumTelCliente->text());
    h.TelCentrale = ToCp1252(txtNumTelSim->text());
    h.DescrImpianto = ToCp1252(txtDescrImpianto->text());
    const std::string note = ToCp1252(Memo1->toPlainText());
    h.NotePresenti = note.empty() ? 0 : 1;
    if (db_.SaveCustomer(note)) accept();
}

}  // namespace pelix
