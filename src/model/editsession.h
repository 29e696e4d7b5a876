#pragma once
// The content's design-mode edit state: the picked object (what a pick found, a drag moves
// and the property dialogs edit), the drag in world space at the object's own depth, and the
// rubber box that zooms a pane, gathers objects into a group or lines them up.
//
// Nothing is owned here: the picked object belongs to the object list (or is one of its
// default objects) and is dropped as soon as it is no longer one of them. Pane points are
// pixels of the panes as last fitted. Every edit goes through the objects' own operations, so
// it lands in whatever undo step the caller opened; nothing here throws or logs.
#include <vector>

#include "geometry/vector3.h"
#include "model/alloccounter.h"

namespace lmv {

class ObjectEntry;
class ObjectList;
class Theatre;

// The world coordinate a pane cannot tell (along its line of sight).
inline constexpr double noCoordinate = 1048576;

// Bits of analyseRubberBox().
enum RubberBoxFlags : int {
  RubberBoxClick = 1,      // at most 2 pixels each way
  RubberBoxNoGroup = 2,    // nothing inside belongs to a group
  RubberBoxLights = 4,     // more than one light inside
  RubberBoxRisers = 8,     // more than one riser
  RubberBoxOneTruss = 16,  // exactly one truss
  RubberBoxTrusses = 32,   // more than one truss
  RubberBoxAny = 64,       // at least one riser, light or truss
};

class EditSession : public AllocCounter {
 public:
  EditSession(Theatre& theatre, ObjectList& list);
  EditSession(const EditSession&) = delete;
  EditSession& operator=(const EditSession&) = delete;

  ObjectEntry* pickedObject = nullptr;
  int pickIndex = -1;  // the list's selectedIndex at the pick
  int pickPane = -1;
  double dragDepth = 0;  // camera-space z in the pick pane's view
  int dragStartPoints[4][2] = {};
  int dragPoints[4][2] = {};
  Vec3 dragStartWorld;
  Vec3 pickedStartPosition;
  int rubberBoxPane = -1;  // -1: no box
  int rubberBoxStart[2] = {};
  int rubberBoxEnd[2] = {};
  int editChanged = 0;  // read and cleared by the frame loop

  bool isChanged() const { return editChanged != 0; }
  void clearChanged() { editChanged = 0; }

  // The picked object if it is still in the theatre (or a default object), else none.
  ObjectEntry* picked();

  // Picking through the object list; the result becomes the picked object. 1 picked, 0 not.
  int pick(int pane, int x, int y, bool skipLocked, char skipType = 0);
  int pickBest(int pane, int x, int y, bool skipLocked, char skipType = 0);
  int pickNonTruss(int pane, int x, int y, bool skipLocked);
  int pickInCurrentGroup(int pane, int x, int y);
  int pickNext();
  int selectFirstOfKind(char letter);
  int selectNextOfKind(char letter);
  // An object of the list or a default object (which the list cannot select); null clears.
  void select(ObjectEntry* object);
  // Picked object and list selection both cleared (the main window's end of interaction).
  void clearPick();
  void makeSelectedCurrentGroup();
  void toggleSelectedInCurrentGroup();
  void removeSelectedFromCurrentGroup();
  void deleteSelected();

  // Dragging the picked object from the list's pick point in the pick pane.
  void startDrag();
  void dragTo(int x, int y);
  // Auto-butt for a real object, then everything cleared (pick and list selection).
  void endDrag();
  // Drag points zeroed and the picked object dropped; the list selection stays.
  void resetDrag();
  // Whole degrees added to the picked object's rounded world orientation.
  void rotatePicked(int dx, int dy, int dz);
  // Moves object under pane point (x, y) at its own depth in that pane's view; the default
  // object of its kind goes there too.
  void placeAt(ObjectEntry& object, int pane, int x, int y);
  // The world point under a pane point of an elevation; the coordinate along the line of
  // sight is noCoordinate. False (all three noCoordinate) for free views, while elevations
  // show depth, and for panes not fitted yet.
  bool worldPointAt(int pane, int x, int y, Vec3& out) const;

  // The rubber box in pane pixels.
  void startRubberBox(int pane, int x, int y);
  void updateRubberBox(int pane, int x, int y);
  void endRubberBox();
  // Last step of the draw phase: a grey outline in the box's pane only.
  void drawRubberBox();
  // RubberBoxFlags of what lies in the box; 0 without a box.
  int analyseRubberBox();
  // Zoom, else group, else align the lights (or the risers) in the box to a fitted line or
  // under the one truss in the box. The box ends afterwards.
  void applyRubberBox(bool zoom, bool group, bool lights, bool toLine, bool evenly);
  // "Locate": every light points straight along its body (pan and tilt 0), fully open, in
  // white at full intensity with no colour filter, so the rig can be checked at a glance.
  void homeLights();

 private:
  struct Box {
    int left, top, right, bottom;
    bool contains(int x, int y) const { return left <= x && x <= right && top <= y && y <= bottom; }
  };
  Box orderedBox() const;
  // Whether the object's screen point in the box pane lies inside the box.
  bool inBox(ObjectEntry& object, const Box& box);
  int adoptSelection(ObjectEntry* selected);
  bool isKnown(const ObjectEntry* object) const;
  // World point at depth under pane point (x, y); false when the pane cannot invert.
  bool worldAtDepth(int pane, int x, int y, double depth, Vec3& out) const;
  void projectDragPoint(const Vec3& world, bool start);
  double meanDepth(ObjectEntry& object, int pane) const;

  void groupBox(const Box& box);
  void alignBox(const Box& box, bool lights, bool toLine, bool evenly);
  // Objects sorted along the main axis, with their rounded world positions.
  void alignToLine(const std::vector<ObjectEntry*>& objects, const std::vector<IVec3>& positions,
                   int axis, bool evenly);
  void alignToTruss(const Box& box, const std::vector<ObjectEntry*>& objects);

  Theatre& theatre;
  ObjectList& list;
};

}  // namespace lmv
