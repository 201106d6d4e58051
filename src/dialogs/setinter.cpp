#include "dialogs/setinter.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace urbica {

namespace {

QCheckBox* optionBox(QWidget* parent, const char* name, const char* caption, int16_t value) {
    auto* b = new QCheckBox(QString::fromUtf8(caption), parent);
    b->setObjectName(QLatin1String(name));
    b->setChecked(value == 1);
    return b;
}

int16_t flag(const QCheckBox* b) { return b->isChecked() ? 1 : 0; }

}  // namespace

InterfaceSettingsDialog::InterfaceSettingsDialog(Settings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName(QStringLiteral("setinter"));
    setWindowTitle(QStringLiteral("Настройка интерфейса карты"));
    dialogAccepted_ = 0;

    allwindow = optionBox(this, "allwindow", "Карту в полное окно", settings.allwindow);
    asctoclose =
        optionBox(this, "asctoclose", "Подтверждение на выход из программы", settings.asctoclose);
    aboutshow = optionBox(this, "aboutshow", "Заставка при запуске", settings.aboutshow);
    savesizecheck =
        optionBox(this, "savesizecheck", "Запоминать размеры окна", settings.savesizecheck);
    addselfind = optionBox(this, "addselfind", "Добавлять при поиске объект в список пометок",
                           settings.addselfind);
    remselfind =
        optionBox(this, "remselfind", "Обнулять при поиске список пометок", settings.remselfind);
    scalebar = optionBox(this, "scalebar", "Масштабная линейка", settings.scaleBar);
    labelsapart = optionBox(this, "labelsapart", "Подписи без наложений", settings.labelsApart);
    smoothing = optionBox(this, "smoothing", "Сглаживание", settings.smoothing);
    smoothing->setToolTip(
        QStringLiteral("Сглаженные линии и значки, подписи с ореолом цвета фона"));

    okkey = new QPushButton(QStringLiteral("Запомнить"), this);
    okkey->setObjectName(QStringLiteral("okkey"));
    okkey->setDefault(true);
    cancelkey = new QPushButton(QStringLiteral("Отменить"), this);
    cancelkey->setObjectName(QStringLiteral("cancelkey"));

    auto* layout = new QVBoxLayout(this);
    for (QCheckBox* b : {allwindow, asctoclose, aboutshow, savesizecheck, addselfind, remselfind,
                         scalebar, labelsapart, smoothing})
        layout->addWidget(b);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okkey);
    buttons->addWidget(cancelkey);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    connect(okkey, &QPushButton::clicked, this, &InterfaceSettingsDialog::store);
    connect(cancelkey, &QPushButton::clicked, this, &QDialog::reject);
}

void InterfaceSettingsDialog::store() {
    settings_.allwindow = flag(allwindow);
    settings_.asctoclose = flag(asctoclose);
    settings_.aboutshow = flag(aboutshow);
    settings_.savesizecheck = flag(savesizecheck);
    settings_.addselfind = flag(addselfind);
    settings_.remselfind = flag(remselfind);
    settings_.scaleBar = flag(scalebar);
    settings_.labelsApart = flag(labelsapart);
    settings_.smoothing = flag(smoothing);
    dialogAccepted_ = -1;
    accept();
}

}  // namespace urbica
