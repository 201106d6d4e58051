#include "dialogs/exportpicture.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "view/pictureexport.h"

namespace urbica {

QString replaceQuestion(const QString& path) {
    return QStringLiteral("Файл %1 уже существует. Заменить его?")
        .arg(QDir::toNativeSeparators(path));
}

namespace {

bool askDeviceSize(QWidget* parent, const QSize& device, const QSize& plain) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Urbica"),
                    QStringLiteral("Сохранить картинку в разрешении экрана (%1 × %2 точек) "
                                   "или в размере карты (%3 × %4 точек)?")
                        .arg(device.width())
                        .arg(device.height())
                        .arg(plain.width())
                        .arg(plain.height()),
                    QMessageBox::NoButton, parent);
    QPushButton* full = box.addButton(QStringLiteral("В разрешении экрана"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("В размере карты"), QMessageBox::NoRole);
    box.setDefaultButton(full);
    box.exec();
    return box.clickedButton() == full;
}

}  // namespace

bool exportPictureCommand(QWidget* parent, const QImage& picture, const ExportUi& ui) {
    // The dialog does not ask about the typed name: the name saved may differ
    // from it (".bmp" added), so the question comes below for the final name.
    const QString chosen =
        ui.chooseFile ? ui.chooseFile()
                      : QFileDialog::getSaveFileName(parent, QString(), QString(), exportFilter(),
                                                     nullptr, QFileDialog::DontConfirmOverwrite);
    const QString path = exportFileName(chosen);
    if (path.isEmpty()) return false;
    if (QFileInfo::exists(path)) {
        const bool replace = ui.confirmReplace
                                 ? ui.confirmReplace(path)
                                 : QMessageBox::question(parent, QStringLiteral("Urbica"),
                                                         replaceQuestion(path)) == QMessageBox::Yes;
        if (!replace) return false;
    }
    QImage saved = picture;
    if (picture.devicePixelRatio() != 1) {
        // A picture of the screen's device pixels, or one of the map's size in pixels.
        const QSize plain = picture.deviceIndependentSize().toSize();
        const bool device = ui.chooseDeviceSize ? ui.chooseDeviceSize(picture.size(), plain)
                                                : askDeviceSize(parent, picture.size(), plain);
        saved = device ? picture
                       : picture.scaled(plain, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        saved.setDevicePixelRatio(1);
    }
    QString reason;
    if (savePictureBmp(saved, path, &reason)) return true;
    qWarning("urbica: picture not saved to %s: %s", qPrintable(path), qPrintable(reason));
    if (ui.message)
        ui.message(exportErrorText());
    else
        QMessageBox(QMessageBox::NoIcon, QStringLiteral("Urbica"), exportErrorText(),
                    QMessageBox::Ok, parent)
            .exec();
    return false;
}

bool exportMapPartCommand(QWidget* parent, const QImage& mapPicture, const ViewState& view,
                          const QRectF& frameMapUnits, const ExportUi& ui, const QString& notice) {
    const QImage part =
        pictureWithNotice(pictureCutOut(mapPicture, exportPixelRect(frameMapUnits, view)), notice);
    return exportPictureCommand(parent, part, ui);
}

}  // namespace urbica
