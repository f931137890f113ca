#include "app/CAboutDlg.h"

#include "app/DatabaseChoice.h"
#include "data/Database.h"
#include "platform/AppInfo.h"
#include "platform/Desktop.h"
#include "platform/Images.h"
#include "ui_CAboutDlg.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

void makeLink(QLabel *label, const QString &caption, const QString &address)
{
    label->setTextFormat(Qt::RichText);
    label->setText(u"<a href=\"%1\">%2</a>"_s.arg(address.toHtmlEscaped(), caption.toHtmlEscaped()));
    label->setToolTip(address);
    label->setCursor(Qt::PointingHandCursor);
    // Links open through the desktop services like every other address.
    QObject::connect(label, &QLabel::linkActivated, label, [](const QString &link) { Desktop::current().open(link); });
}

} // namespace

CAboutDlg::CAboutDlg(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::CAboutDlg>())
{
    ui->setupUi(this);
    ui->icon->setPixmap(programImage(u":/norva-rezado.png"_s));
    QFont titleFont = ui->title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    ui->title->setFont(titleFont);
    // The project has no web site or channel yet: only the help link is shown, and it
    // opens the README that comes with the program.
    ui->siteLink->hide();
    ui->channelLink->hide();
    const QString help = helpFile();
    if (help.isEmpty())
        ui->howToLink->hide();
    else
        makeLink(ui->howToLink, u"Nasıl Kullanılır"_s, QUrl::fromLocalFile(help).toString());
    ui->buildLine->setText(buildLine());
    ui->recordsPlace->setText(recordsPlace());
    connect(ui->okButton, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(sizeHint());
}

CAboutDlg::~CAboutDlg() = default;

QString CAboutDlg::buildLine()
{
    return u"Derleme: C++20, GCC %1, Qt %2, %3"_s.arg(
        QString::fromLatin1(__VERSION__), QString::fromLatin1(QT_VERSION_STR), db::Database::current().engineVersion());
}

QString CAboutDlg::helpFile()
{
    // Installed beside the program's share folder, or next to the program, or the
    // source tree the program was built from.
    const QString program = QCoreApplication::applicationDirPath();
    for (const QString &candidate : {program + u"/../share/doc/norva-rezado/README.md"_s, program + u"/README.md"_s,
                                     QStringLiteral(NORVA_SOURCE_DIR "/README.md")}) {
        if (QFileInfo(candidate).isFile())
            return QFileInfo(candidate).canonicalFilePath();
    }
    return {};
}
