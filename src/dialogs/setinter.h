// The interface settings dialog setinter: eight on/off options of the
// settings. The settings change only when "Запомнить" closes it.
#pragma once

#include <QDialog>
#include <cstdint>

#include "dataset/settings.h"

class QCheckBox;
class QPushButton;

namespace urbica {

class InterfaceSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit InterfaceSettingsDialog(Settings& settings, QWidget* parent = nullptr);

    // -1 once "Запомнить" has put the boxes into the settings, else 0.
    int16_t dialogAccepted() const { return dialogAccepted_; }

    QCheckBox* allwindow = nullptr;
    QCheckBox* asctoclose = nullptr;
    QCheckBox* aboutshow = nullptr;
    QCheckBox* savesizecheck = nullptr;
    QCheckBox* addselfind = nullptr;
    QCheckBox* remselfind = nullptr;
    QCheckBox* scalebar = nullptr;
    QCheckBox* labelsapart = nullptr;
    QCheckBox* smoothing = nullptr;
    QPushButton* okkey = nullptr;
    QPushButton* cancelkey = nullptr;

private:
    void store();

    Settings& settings_;
    int16_t dialogAccepted_ = 0;
};

}  // namespace urbica
