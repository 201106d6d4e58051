// The redraw driver: every change of the view goes through redrawView, which
// corrects the view, records it, and composes the picture from the layers,
// the labels and the marks.
#pragma once

#include "draw/drawcontext.h"
#include "view/appstate.h"
#include "view/mapboxes.h"

namespace urbica {

// Gives every box of the map and the overview `ratio` device pixels a
// logical pixel (the screen's); their pictures are cleared when it changes.
// True when it changed: the overview and the view are then to be drawn again.
bool setPictureRatio(MapBoxes& boxes, double ratio);

// Draws what was drawn so far visible and lets pending events run.
void refreshbox(PictureBox& box, const ViewHooks& hooks);

// Clamps the view to the extent and the zoom-in limit, moves the overview
// frame, records the view when asked, and renders. Nothing without a dataset.
void redrawView(AppState& s, MapBoxes& boxes, const ViewHooks& hooks, bool record);

// Composes the current view into map, originalpage (without marks) and
// hidepage (with marks), without changing the view.
void renderMap(AppState& s, MapBoxes& boxes, const ViewHooks& hooks);

// The picture of the current view with its marks, as hidepage holds it, drawn
// again at ratio device pixels a pixel in boxes of the map's size (for a
// printed page); the view, the screen's boxes and the label queue stay as
// they were. With texts, the texts are not drawn but added there, to be
// laid over the page as text.
QImage renderAtRatio(AppState& s, const MapBoxes& screen, double ratio,
                     std::vector<PictureBox::TextCall>* texts = nullptr);
// Draws what lies on top of everything on the map (the scale bar, when it is
// on, and the data's notice, when the dataset has one) into the drawn part of
// box for the view in s.view. Drawn after the labels and again over the
// marks and highlights, so that nothing covers them.
void drawMapOverlays(const AppState& s, PictureBox& box);
// True when drawMapOverlays draws anything.
bool hasMapOverlays(const AppState& s);

// Draws the overview layers into nav and keeps a clean copy in tempnav.
void buildOverview(AppState& s, MapBoxes& boxes, const ViewHooks& hooks);

// Draws the named object's map objects (and with parts, its named parts one
// level deep) with drawobject.
void drawNamedObject(AppState& s, MapBoxes& boxes, PictureBox& box, int classNumber, int32_t record,
                     bool highlighted, bool withParts);

// A drawing context over the run state for the view in s.view.
DrawContext makeDrawContext(AppState& s, PictureBox& images);

// The marker pictures of the overview, in the program's folder.
inline const char kMarkerAndFile[] = "arrowsbl.bmp";
inline const char kMarkerXorFile[] = "arrowscl.bmp";

}  // namespace urbica
