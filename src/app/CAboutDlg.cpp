#include "app/CAboutDlg.h"

#include "platform/AppInfo.h"
#include "platform/Desktop.h"
#include "platform/Images.h"
#include "ui_CAboutDlg.h"

#include <QLabel>

#include <sqlite3.h>

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
    makeLink(ui->siteLink, appinfo::projectAddress(), appinfo::projectAddress());
    makeLink(ui->channelLink, u"Sürüm Notları ve Haberler"_s, appinfo::projectAddress() + u"/releases"_s);
    makeLink(ui->howToLink, u"Nasıl Kullanılır Videosu"_s, appinfo::projectAddress() + u"#readme"_s);
    ui->buildLine->setText(buildLine());
    connect(ui->okButton, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(sizeHint());
}

CAboutDlg::~CAboutDlg() = default;

QString CAboutDlg::buildLine()
{
    return u"Derleme: C++20, GCC %1, Qt %2, SQLite %3"_s.arg(QString::fromLatin1(__VERSION__),
                                                              QString::fromLatin1(QT_VERSION_STR),
                                                              QString::fromLatin1(SQLITE_VERSION));
}
