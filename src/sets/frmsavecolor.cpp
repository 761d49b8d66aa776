#include "sets/frmsavecolor.h"

#include "app/tintara.h"
#include "platform/twips.h"
#include "sets/colorset.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace tintara;

frmSaveColor::frmSaveColor(Tintara& owner)
    : QDialog(&owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
    , m_owner(owner)
{
    const TwipsScale twips = owner.twips();
    setWindowTitle(QStringLiteral("色の保存"));
    setFixedSize(twips.rect(0, 0, 4680, 1905).size());

    m_ui.Label1 = new QLabel(QStringLiteral("色セットの名前を入力して下さい"), this);
    m_ui.Label1->setGeometry(twips.rect(360, 255, 3225, 300));
    m_ui.ColorName = new QComboBox(this);
    m_ui.ColorName->setEditable(true);
    // The typed name is taken as it stands; Enter saves rather than adding it to the list.
    m_ui.ColorName->setInsertPolicy(QComboBox::NoInsert);
    // Completion would turn a typed "Sea" into an existing "sea" or "Sea 2" and overwrite that
    // set; a new name must stay exactly as typed.
    m_ui.ColorName->setCompleter(nullptr);
    m_ui.ColorName->setGeometry(twips.rect(465, 630, 3855, 300));
    m_ui.Refusal = new QLabel(this);
    m_ui.Refusal->setGeometry(twips.rect(465, 945, 3855, 270));
    m_ui.Refusal->setStyleSheet(QStringLiteral("color: #C00000"));
    m_ui.Refusal->hide();
    m_ui.SaveBtn = new QPushButton(QStringLiteral("保存"), this);
    m_ui.SaveBtn->setGeometry(twips.rect(1110, 1260, 1215, 495));
    m_ui.SaveBtn->setDefault(true);
    m_ui.CanBtn = new QPushButton(QStringLiteral("キャンセル"), this);
    m_ui.CanBtn->setGeometry(twips.rect(2445, 1260, 1215, 495));

    m_ui.Label1->setBuddy(m_ui.ColorName);
    // The box the user types into is the combo box's own line edit; both carry the name.
    m_ui.ColorName->setAccessibleName(QStringLiteral("色セットの名前"));
    m_ui.ColorName->lineEdit()->setAccessibleName(m_ui.ColorName->accessibleName());
    m_ui.SaveBtn->setAccessibleName(QStringLiteral("色セットを保存"));
    m_ui.CanBtn->setAccessibleName(QStringLiteral("キャンセル"));
    m_ui.SaveBtn->setFocusPolicy(Qt::StrongFocus);
    m_ui.CanBtn->setFocusPolicy(Qt::StrongFocus);
    setTabOrder(m_ui.ColorName, m_ui.SaveBtn);
    setTabOrder(m_ui.SaveBtn, m_ui.CanBtn);
    m_ui.ColorName->setFocus();

    connect(m_ui.SaveBtn, &QPushButton::clicked, this, &frmSaveColor::SaveBtn_Click);
    connect(m_ui.CanBtn, &QPushButton::clicked, this, &frmSaveColor::CanBtn_Click);
    connect(m_ui.ColorName, &QComboBox::editTextChanged, m_ui.Refusal, &QLabel::hide);

    Form_Load();
}

void frmSaveColor::Form_Load()
{
    m_ui.ColorName->addItems(m_owner.colorSetNames());
    m_ui.ColorName->setCurrentIndex(-1);
    m_ui.ColorName->clearEditText();
}

void frmSaveColor::SaveBtn_Click()
{
    const QString name = m_ui.ColorName->currentText();
    if (name.isEmpty())
        return;
    if (const QString refusal = setNameRefusal(name); !refusal.isEmpty()) {
        m_ui.Refusal->setText(refusal);
        m_ui.Refusal->show();
        return;
    }
    const QString pair = colorPair({m_owner.FC(0), m_owner.FC(1), m_owner.FC(2)},
                                   {m_owner.BC(0), m_owner.BC(1), m_owner.BC(2)});
    m_owner.selectColorSet(m_owner.saveColorSet(name, pair));
    accept();
}

void frmSaveColor::CanBtn_Click()
{
    reject();
}
