// Modal dialog that edits one or two whole numbers in spin fields, and NumberInput built on it.
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>

class QFrame;
class QLabel;
class QPushButton;
class QSpinBox;

namespace zarvo {

class TNummerEingabe : public QDialog {
    Q_OBJECT
public:
    // The first dialog created becomes the shared one that NumberInput uses, until it goes.
    explicit TNummerEingabe(QWidget* Parent = nullptr);
    ~TNummerEingabe() override;
    static TNummerEingabe* Instance();

    // Shows the dialog with one field (Label2 empty) or two. X < 0 centres it on the screen;
    // otherwise its top-left corner goes to (X, Y), kept inside the screen. True and the values
    // replaced on OK; false and both values untouched otherwise.
    bool Execute(const QString& Title, const QString& Label1, int& Value1, const QString& Label2,
                 int& Value2, int X, int Y);

    // The two halves of Execute: the caller's values into the controls, and back.
    void Load(const QString& Title, const QString& Label1, int Value1, const QString& Label2,
              int Value2, int X, int Y);
    void Store(int& Value1, int& Value2) const;

    // Limits, increment and step mode of the first field; they stay for later calls. Equal
    // limits mean none. Step mode 1 and 2 let the increment follow the value in decades or
    // octaves; any other mode keeps Increment.
    void SetFirstField(int Increment, int MinValue, int MaxValue, std::uint8_t StepMode);

    // The value a field's text stands for: its minimum when the text is no whole number, and
    // held inside the field's limits.
    int FieldValue(const QSpinBox* Field) const;

    // Adjust the increment of their field to its value (step modes 1 and 2).
    void NumFeld1Change();
    void NumFeld2Change();

    QFrame* Rahmen;
    QLabel* Descriptor1;
    QSpinBox* NumFeld1;
    QLabel* Descriptor2;
    QSpinBox* NumFeld2;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void ApplyStepRule(QSpinBox* Field);

    std::uint8_t FStepMode = 0;
    int FMin1 = 0, FMax1 = 0; // limits of NumFeld1; NumFeld2 has none
    bool FTwoFields = false;
};

// One whole number in the shared dialog (a fresh one if the program made none): sets the first
// field's increment, limits and step mode, then runs Execute with one field.
bool NumberInput(const QString& Title, const QString& Label, int& Value, std::uint8_t StepMode,
                 int Increment, int MinValue, int MaxValue, int X, int Y);

} // namespace zarvo
