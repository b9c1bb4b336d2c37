#include "periphery/frmTip.h"

#include "periphery/Tips.h"
#include "platform/ProgramFolder.h"
#include "platform/Random.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace halvex {

frmTip::frmTip(SettingsStore& store, Random& random, QWidget* parent)
    : QDialog(parent), m_store(store), m_random(random)
{
    setObjectName(QStringLiteral("frmTip"));
    setWindowTitle(QStringLiteral("Tip of the Day"));
}

void frmTip::buildControls()
{
    // Built only for a window that shows: the picture's icon is looked up in the icon theme, which
    // would hold up every start of the program with the tips switched off.
    if (lblTipText)
        return;
    auto* picture = new QLabel(this);
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    auto* heading = new QLabel(QStringLiteral("Did you know..."), this);
    QFont f = heading->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 4);
    heading->setFont(f);
    lblTipText = new QLabel(this);
    lblTipText->setObjectName(QStringLiteral("lblTipText"));
    lblTipText->setWordWrap(true);
    lblTipText->setMinimumSize(360, 120);
    lblTipText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    chkLoadTipsAtStartup = new QCheckBox(QStringLiteral("&Show Tips at Startup"), this);
    chkLoadTipsAtStartup->setObjectName(QStringLiteral("chkLoadTipsAtStartup"));
    cmdNextTip = new QPushButton(QStringLiteral("&Next Tip"), this);
    cmdNextTip->setObjectName(QStringLiteral("cmdNextTip"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    // OK is the default button, and Esc closes the dialog as its cancel button.
    cmdOK->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(heading, 0, 1);
    grid->addWidget(lblTipText, 1, 1);
    grid->addWidget(cmdOK, 0, 2);
    grid->addWidget(cmdNextTip, 1, 2, Qt::AlignTop);
    grid->addWidget(chkLoadTipsAtStartup, 2, 0, 1, 3);

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdNextTip, &QPushButton::clicked, this, &frmTip::nextTip);
    connect(chkLoadTipsAtStartup, &QCheckBox::clicked, this,
            [this](bool ticked) { setShowTipsAtStartup(m_store, ticked); });
}

bool frmTip::load(const ProgramFolder& folder)
{
    if (!showTipsAtStartup(m_store))
        return false;
    buildControls();
    chkLoadTipsAtStartup->setChecked(true);
    m_random.reseed();
    if (!LoadTips(folder.shippedPath(kTipsFileName)))
        lblTipText->setText(missingTipsText());
    return true;
}

bool frmTip::LoadTips(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    QFile file(path);
    // A file that is there but cannot be read is no better than a missing one.
    if (!file.open(QIODevice::ReadOnly))
        return false;
    buildControls();
    m_tips.append(tipLines(file.readAll()));
    nextTip();
    return true;
}

void frmTip::nextTip()
{
    m_current = drawTipNumber(static_cast<int>(m_tips.size()), m_random.next());
    DisplayCurrentTip();
}

void frmTip::DisplayCurrentTip()
{
    if (!m_tips.isEmpty())
        lblTipText->setText(m_tips.value(m_current - 1));
}

} // namespace halvex
