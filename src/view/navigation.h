// Moving about the map with the pointer and the keyboard: the pointer modes of
// the map (pick and hover, the fragment frame, panning, the export
// rectangle), the overview's view frame and rubber band, and the commands that
// change the view (zoom steps, start view, history, nearest metro, wheel zoom,
// arrow keys). Every change of the view goes through redrawView. Coordinates
// are map units, as the boxes' coordinate systems give them.
#pragma once

#include <cstdint>
#include <functional>

#include "draw/picturebox.h"
#include "view/appstate.h"
#include "view/mapboxes.h"
#include "view/pick.h"

namespace urbica {

// Pointer modes of the map.
enum PointerMode : int16_t {
    kModeNormal = 0,        // a click picks, moving hovers
    kModeFrameShown = 1,    // the fragment frame waits to be moved, redrawn or applied
    kModeMovingFrame = 2,   // the left button drags the frame
    kModePanArmed = 5,      // the next press starts a pan
    kModePanning = 6,       // the picture follows the pointer
    kModeDrawingFrame = 8,  // a held button draws a frame with the view's proportions
    kModeExportArmed = 16,  // the next left press starts an export rectangle
    kModeDrawingExport = 17,
};

// What a right-button drag does.
enum RightButtonTool : int16_t { kToolFrame = 1, kToolPan = 5 };

enum class PointerShape { Default = 0, SizeAll = 5 };
enum class MouseButton { Left, Right, Middle };

// Key codes of the map's key press handler.
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyEscape = 27;

struct SavedFrame {
    float left = 0, top = 0, width = 0;
};

struct NavigationState {
    int16_t pointerMode = kModeNormal;
    int16_t rightButtonTool = kToolFrame;
    float dragX = 0, dragY = 0;  // anchor of the drag, or the frame's offset from the pointer
    SavedFrame savedFrame;       // the frame when a new rubber band started
    int16_t navMode = 0;         // overview: 0 idle, 2 moving the view frame, 8 drawing
    FrameShape frag{0, 0, 0, 0, false};   // fragment frame and rubber band on the map
    FrameShape nfrag{0, 0, 0, 0, false};  // rubber band in the overview
    PointerShape mapPointer = PointerShape::Default;
    PointerShape navPointer = PointerShape::Default;
    // Off while a pan preview is shown: the map then shows `screen`, and the
    // persistent picture of the map box stays as it was.
    bool persistentPicture = true;
    PictureBox screen;
    PickResult pick;         // the current pick
    int wheelRemainder = 0;  // wheel turns below one step, in eighths of a degree
    // A left press in the normal mode that becomes a pan once the pointer
    // has moved more than kDragPanPixels from it with the button held.
    bool leftPressPending = false;
    float pressX = 0, pressY = 0;
};

// Pixels a held left button must move in the normal mode before the press
// turns into a pan.
inline constexpr double kDragPanPixels = 4;

// What the handlers work on.
struct NavContext {
    AppState& s;
    MapBoxes& boxes;
    const ViewHooks& hooks;
    NavigationState& nav;
    // The export step for the rectangle drawn in mode 17 (frag in map units).
    std::function<void(const FrameShape&)> exportFrame;
};

// Map events. Presses while a redraw runs are dropped; moves do nothing
// without a dataset.
void mapMouseDown(NavContext& c, MouseButton button, double x, double y);
void mapMouseMove(NavContext& c, double x, double y);
void mapMouseUp(NavContext& c, MouseButton button, double x, double y);
void mapDoubleClick(NavContext& c);
// Esc, Enter, '+' and '-': with the fragment frame shown, '+' and '-' size
// it; otherwise they zoom about the view's centre (keyZoom).
void mapKeyPress(NavContext& c, int key);

// Overview events.
void navMouseDown(NavContext& c, MouseButton button, double x, double y);
void navMouseMove(NavContext& c, double x, double y);
void navMouseUp(NavContext& c, MouseButton button, double x, double y);
void navKeyPress(NavContext& c, int key);

// Applies the fragment frame: the view becomes the frame, with the map box's
// proportions. A frame of two pixels or less is only dismissed.
void zoomToFrame(NavContext& c);

// Commands of the menu and the toolbar.
void showFragmentFrame(NavContext& c);  // "Фрагмент"
void zoomIn(NavContext& c);             // "Ближе"
void zoomOut(NavContext& c);            // "Дальше"
void armPan(NavContext& c);             // "Сдвинуть"
bool toNearestMetro(NavContext& c);     // "До метро"
void toStartView(NavContext& c);        // "В начало"
bool historyBack(NavContext& c);        // "Назад"
bool historyForward(NavContext& c);     // "Вперед"
void armExport(NavContext& c);  // "Часть картинки в файл": next press draws

// The mouse wheel: angleDelta in eighths of a degree (120 a notch, positive
// away from the user). Each notch zooms in or out by 2 about (x, y), which
// stays under the pointer, so that a notch out undoes a notch in; the view is
// recorded. Only while no drag runs.
void wheelZoom(NavContext& c, double x, double y, int angleDelta);
// The keys "+" and "-" (and Ctrl with them) outside the fragment frame:
// steps notches of the wheel (positive: in) about the view's centre.
void keyZoom(NavContext& c, int steps);
// Arrow keys: the view moves by a tenth of its size in the direction given
// (-1, 0, 1 each); recorded. Only while no drag runs.
void arrowPan(NavContext& c, int dx, int dy);

// The pan preview for the pointer at (x, y): the finished picture shifted by
// the drag, the bare strips in the background colour, drawn into nav.screen.
void drawPanPreview(NavContext& c, double x, double y);

// True when (x, y) lies strictly inside the frame.
bool insideFrame(const FrameShape& f, double x, double y);

}  // namespace urbica
