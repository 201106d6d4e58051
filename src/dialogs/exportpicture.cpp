#include "dialogs/exportpicture.h"

#include <QFileDialog>
#include <QMessageBox>

#include "view/pictureexport.h"

namespace urbica {

bool exportPictureCommand(QWidget* parent, const QImage& picture, const ExportUi& ui) {
    const QString chosen =
        ui.chooseFile ? ui.chooseFile()
                      : QFileDialog::getSaveFileName(parent, QString(), QString(), exportFilter());
    const QString path = exportFileName(chosen);
    if (path.isEmpty()) return false;
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
                          const QRectF& frameMapUnits, const ExportUi& ui) {
    const QImage part = pictureCutOut(mapPicture, exportPixelRect(frameMapUnits, view));
    return exportPictureCommand(parent, part, ui);
}

}  // namespace urbica
