#include "dialogs/about.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace urbica {

namespace {
const char kSite[] = "https://urbica.example/";
const char kSiteCaption[] = "urbica.example";
const char kEmail[] = "info@urbica.example";
}  // namespace

QString versionText(int major, int minor) {
    return QStringLiteral("Версия %1.0%2").arg(major).arg(minor);
}

#ifndef URBICA_VERSION_MAJOR
#define URBICA_VERSION_MAJOR 1
#endif
#ifndef URBICA_VERSION_MINOR
#define URBICA_VERSION_MINOR 0
#endif

int AboutDialog::majorVersion() { return URBICA_VERSION_MAJOR; }
int AboutDialog::minorVersion() { return URBICA_VERSION_MINOR; }

AboutDialog::AboutDialog(int16_t mainLoaded, QWidget* parent, bool openLinks)
    : QDialog(parent), openLinks_(openLinks) {
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("О программе Urbica"));

    auto* title = new QLabel(QStringLiteral("Urbica"), this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    title->setFont(big);
    title->setAlignment(Qt::AlignCenter);

    auto* description = new QLabel(
        QStringLiteral("Электронная карта города с поиском адресов, объектов и станций метро"),
        this);
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignCenter);

    auto* version = new QLabel(versionText(majorVersion(), minorVersion()), this);
    version->setObjectName(QStringLiteral("version"));
    version->setAlignment(Qt::AlignCenter);

    auto* authors =
        new QLabel(QStringLiteral("Разработка: команда Urbica\nТелефон и почта — на сайте"), this);
    authors->setAlignment(Qt::AlignCenter);

    auto* site = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>")
                                .arg(QLatin1String(kSite), QLatin1String(kSiteCaption)),
                            this);
    site->setObjectName(QStringLiteral("site"));
    site->setAlignment(Qt::AlignCenter);
    site->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(site, &QLabel::linkActivated, this, &AboutDialog::openLink);

    auto* email =
        new QLabel(QStringLiteral("<a href=\"mailto:%1\">%1</a>").arg(QLatin1String(kEmail)), this);
    email->setObjectName(QStringLiteral("email"));
    email->setAlignment(Qt::AlignCenter);
    email->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(email, &QLabel::linkActivated, this, &AboutDialog::openLink);

    source_ = new QLabel(this);
    source_->setObjectName(QStringLiteral("datasource"));
    source_->setAlignment(Qt::AlignCenter);
    source_->setWordWrap(true);
    source_->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    source_->hide();
    connect(source_, &QLabel::linkActivated, this, &AboutDialog::openLink);

    auto* wait =
        new QLabel(QStringLiteral("Идёт загрузка основных данных, пожалуйста подождите."), this);
    wait->setObjectName(QStringLiteral("WaitMsg"));
    wait->setAlignment(Qt::AlignCenter);
    wait->setWordWrap(true);

    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("okkey"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(description);
    layout->addWidget(version);
    layout->addWidget(authors);
    layout->addWidget(site);
    layout->addWidget(email);
    layout->addWidget(source_);
    layout->addWidget(wait);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();
    layout->addLayout(buttons);

    // From the menu the box has its button; as the splash it has only the message.
    ok->setVisible(mainLoaded != 0);
    wait->setVisible(mainLoaded == 0);
    setMinimumWidth(360);
}

void AboutDialog::setDataSource(const QString& notice, const QString& licence, const QString& url) {
    QString text = QStringLiteral("Данные карты: %1").arg(notice.toHtmlEscaped());
    if (!licence.isEmpty()) text += QStringLiteral(", лицензия %1").arg(licence.toHtmlEscaped());
    if (!url.isEmpty())
        text += QStringLiteral("<br><a href=\"%1\">%2</a>")
                    .arg(url.toHtmlEscaped(), url.toHtmlEscaped());
    source_->setText(text);
    source_->setVisible(!notice.isEmpty());
}

void AboutDialog::openLink(const QString& url) {
    if (openLinks_) QDesktopServices::openUrl(QUrl(url));
}

}  // namespace urbica
