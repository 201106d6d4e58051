#include "dialogs/exportpicture.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "view/pictureexport.h"

namespace urbica {

QString replaceQuestion(const QString& path) {
    return QStringLiteral("Файл %1 уже существует. Заменить его?")
        .arg(QDir::toNativeSeparators(path));
}

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
    QString reason;
    if (savePictureBmp(picture, path, &reason)) return true;
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
