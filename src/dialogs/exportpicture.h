// "Картинку в файл" and "Часть картинки в файл": the save dialog, the name
// rules and the one error message around the widget-free export.
#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <functional>

#include "view/viewstate.h"

class QWidget;

namespace urbica {

struct ExportUi {
    std::function<QString()> chooseFile;  // the name typed in the save dialog; empty: cancelled
    std::function<void(const QString&)> message;
    // Whether an existing file of this name may be replaced; empty: a Yes/No question.
    std::function<bool(const QString&)> confirmReplace;
    // For a picture of more device pixels than pixels: true to save it at the
    // screen's resolution (its device pixels), false at the map's size in
    // pixels; empty: a question with the two sizes.
    std::function<bool(const QSize& device, const QSize& plain)> chooseDeviceSize;
};

// The question asked before an existing file is replaced.
QString replaceQuestion(const QString& path);

// Asks for a file and writes the picture as BMP. A file of the name (after
// ".bmp" is added) that exists already is replaced only when the user agrees.
// False when cancelled or not replaced (no message) or when writing failed
// (the error message was shown).
bool exportPictureCommand(QWidget* parent, const QImage& picture, const ExportUi& ui = {});

// The part of the map picture under a rectangle in map units (as drawn, in
// any direction), cut out before the dialog is shown, then exported. A
// notice (the data's licence) is put in the part's corner, as on the map.
bool exportMapPartCommand(QWidget* parent, const QImage& mapPicture, const ViewState& view,
                          const QRectF& frameMapUnits, const ExportUi& ui = {},
                          const QString& notice = {});

}  // namespace urbica
