#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class Tintara;

// The controls of the save dialog, named as in its design. Refusal is ours: the line that says
// why a name was not taken.
struct SaveColorUi
{
    QLabel* Label1 = nullptr;
    QComboBox* ColorName = nullptr;
    QPushButton* SaveBtn = nullptr;
    QPushButton* CanBtn = nullptr;
    QLabel* Refusal = nullptr;
};

// Names the current colours: a new name adds a set at the end of the main window's lists, an
// existing one replaces that set's colours in place; either way the set is then selected.
class frmSaveColor : public QDialog
{
    Q_OBJECT
public:
    explicit frmSaveColor(Tintara& owner);

    const SaveColorUi& ui() const { return m_ui; }

    void Form_Load();
    void SaveBtn_Click();
    void CanBtn_Click();

private:
    Tintara& m_owner;
    SaveColorUi m_ui;
};
