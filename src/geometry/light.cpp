#include "geometry/light.h"

#include <cmath>

#include "base/runlog.h"
#include "fixtures/attributes.h"
#include "fixtures/fixtureentry.h"
#include "fixtures/fixturelist.h"
#include "geometry/represent.h"
#include "geometry/shapes.h"
#include "model/color.h"
#include "model/coordinates.h"
#include "model/load.h"
#include "model/objectactions.h"
#include "model/objectlist.h"
#include "model/theatre.h"
#include "model/value.h"
#include "model/viewentry.h"
#include "model/viewlist.h"
#include "platform/canvas.h"

namespace lmv {

namespace {

void removeValue(Value* v) {
  if (v && v->list) v->list->removeValue(v);
}

// Snaps to exactly +-1 within the tolerance.
double snapUnit(double v) {
  if (nearlyEqual(v, 1)) return 1;
  if (nearlyEqual(v, -1)) return -1;
  return v;
}

constexpr int kColourWheels[4] = {kColorWheel1, kColorWheel2, kColorWheel3, kColorWheel4};

}  // namespace

bool solveQuadratic(double a, double b, double c, double& r1, double& r2) {
  if (nearlyZero(a)) {
    r1 = r2 = nearlyZero(b) ? 0 : -c / b;
    return true;
  }
  const double disc = b * b - 4 * a * c;
  if (disc < 0) return false;
  const double root = std::sqrt(disc);
  r1 = (root - b) / (2 * a);
  r2 = (-b - root) / (2 * a);
  return true;
}

double halfAngleToDegrees(double x) {
  const double s = snapUnit(2 * x / (x * x + 1));
  const double c = snapUnit((1 - x * x) / (x * x + 1));
  if (std::fabs(s) > 1 || std::fabs(c) > 1) return 0;
  if (s < 0 && c >= 0) return radToDeg(std::asin(s));
  if (s >= 0) return radToDeg(std::acos(c));
  return -radToDeg(std::acos(c));
}

// ---------------------------------------------------------------- construction

Light::Light(ObjectList& l, const char* className) : Riser(l, className) {
  ValueList& values = list.values();
  pan = values.newValue();
  tilt = values.newValue();
  beam = std::make_unique<Beam>(*this, values, list.gobos);
  typeLetter = 'l';
  dmxBase = -1;
  disablePatch();
}

Light::~Light() {
  beam.reset();
  removeValue(pan);
  removeValue(tilt);
  personality.clear();
}

double Light::getPan() const {
  return pan->currentValue();
}
double Light::getTilt() const {
  return tilt->currentValue();
}
void Light::setPan(double degrees) {
  pan->setValue(degrees);
}
void Light::setTilt(double degrees) {
  tilt->setValue(degrees);
}

FixtureList* Light::fixtures() const {
  return list.fixtures;
}

FixtureEntry* Light::boundEntry() const {
  FixtureList* index = fixtures();
  if (personality.empty() || !index) return nullptr;
  FixtureEntry* e = index->findEntry(personality);
  if (e && !e->isLoaded()) e->loadPersonality();
  return e;
}

void Light::initFromTemplate(Light* templ, bool autoPatch) {
  if (templ && templ != this) {
    autoButt->setValue(templ->autoButt->currentValue());
    auto offset = [](Value* mine, Value* theirs) { mine->setDmxOffset(theirs->dmxOffset()); };
    offset(pan, templ->pan);
    offset(tilt, templ->tilt);
    offset(beam->coneAngle, templ->beam->coneAngle);
    offset(beam->aperture, templ->beam->aperture);
    beam->setGoboCount(templ->beam->goboCount());
    for (int i = 0; i < beam->goboCount(); ++i) {
      offset(beam->gobos[size_t(i)]->index, templ->beam->gobos[size_t(i)]->index);
      offset(beam->gobos[size_t(i)]->orientation, templ->beam->gobos[size_t(i)]->orientation);
    }
    Color& mine = *beam->colour;
    const Color& theirs = *templ->beam->colour;
    for (int i = 0; i < 3; ++i) offset(mine.rgbo[i], theirs.rgbo[i]);
    offset(mine.intensity, theirs.intensity);
    mine.setFilterCount(int(theirs.filters.size()));
    for (size_t i = 0; i < mine.filters.size(); ++i) offset(mine.filters[i], theirs.filters[i]);
    for (int i = 0; i < 3; ++i) {
      offset(posn->v[i], templ->posn->v[i]);
      offset(size->v[i], templ->size->v[i]);
      offset(orient->v[i], templ->orient->v[i]);
    }
    offset(autoButt, templ->autoButt);
    if (!templ->personality.empty()) bindPersonality(templ->personality, false);
    channelCount = templ->channelCount;
    if (beam->goboCount() > 0 && templ->beam->goboCount() > 0)
      beam->gobos[0]->index->setValue(templ->beam->gobos[0]->index->currentValue());
  } else {
    personality.clear();
    pan->setDmxOffset(4);
    tilt->setDmxOffset(5);
    beam->coneAngle->setDmxOffset(6);
    beam->aperture->setDmxOffset(0);
    Color& c = *beam->colour;
    c.rgbo[0]->setDmxOffset(13);
    c.rgbo[1]->setDmxOffset(14);
    c.rgbo[2]->setDmxOffset(15);
    c.intensity->setDmxOffset(3);
    if (!c.filters.empty()) c.filters[0]->setDmxOffset(1);
    if (beam->goboCount() > 0) {
      beam->gobos[0]->index->setDmxOffset(10);
      beam->gobos[0]->orientation->setDmxOffset(12);
    }
    for (int i = 0; i < 3; ++i) {
      posn->v[i]->setDmxOffset(-1);
      size->v[i]->setDmxOffset(-1);
      orient->v[i]->setDmxOffset(-1);
    }
    autoButt->setDmxOffset(-1);
    channelCount = 16;
  }
  if (!autoPatch || !templ || templ == this) return;
  if (templ->dmxBase == -2)
    setPatch(list.findFreeDmxBase(*this));
  else if (templ->dmxBase == -1)
    disablePatch();
  else
    setPatch(templ->dmxBase);
}

// ---------------------------------------------------------------- personality

void Light::applyAttribute(Value& value, const DmxSpecs& specs) {
  value.clearSpecs();
  for (const auto& from : specs.specs) {
    DmxSpec* to = value.specFor(from->mode, from->channelCount, from->channels, from->mask,
                                from->bigEndian, from->isSigned);
    to->copyFrom(*from);
    // Rebased at once, so that a light already patched reads the right channels.
    to->setBase(dmxBase);
    if (from->specOffset >= 65536 && to->specOffset >= 65536) to->setOffset(from->specOffset);
  }
}

bool Light::bindPersonality(const std::string& name, bool force) {
  if (!force && personality == name) return true;
  Undo& undo = list.undo();
  if (undo.wouldRecord()) undo.record(std::make_unique<SetPersonalityAction>(personality));
  list.markChanged();
  const std::string lookup = name.empty() ? std::string(builtInPersonality()) : name;
  FixtureList* index = fixtures();
  FixtureEntry* entry = index ? index->findEntry(lookup) : nullptr;
  if (!entry) return false;
  if (!entry->isLoaded()) entry->loadPersonality();
  personality = name;

  Light* templ = templateLight();
  if (templ == this) templ = nullptr;
  // The personality's decoding where it has the attribute, else the template's value.
  auto take = [&](int slot, Value* mine, Value* theirs) {
    if (const DmxSpecs* specs = entry->attribute(slot))
      applyAttribute(*mine, *specs);
    else if (theirs)
      mine->copyFrom(*theirs);
  };
  auto templateGobo = [&](int i) -> Gobo* {
    return templ && i < templ->beam->goboCount() ? templ->beam->gobos[size_t(i)].get() : nullptr;
  };
  if (beam->goboCount() == 0) beam->addGobo();
  Color& colour = *beam->colour;
  Color* theirColour = templ ? templ->beam->colour.get() : nullptr;

  take(kPan, pan, templ ? templ->pan : nullptr);
  take(kTilt, tilt, templ ? templ->tilt : nullptr);
  take(kZoom, beam->coneAngle, templ ? templ->beam->coneAngle : nullptr);
  take(kIris, beam->aperture, templ ? templ->beam->aperture : nullptr);
  Gobo* t0 = templateGobo(0);
  take(kGobo1, beam->gobos[0]->index, t0 ? t0->index : nullptr);
  if (const DmxSpecs* specs = entry->attribute(kGobo2)) {
    if (beam->goboCount() < 2) beam->setGoboCount(2);
    applyAttribute(*beam->gobos[1]->index, *specs);
  }
  take(kGobo1Rotate, beam->gobos[0]->orientation, t0 ? t0->orientation : nullptr);
  if (const DmxSpecs* specs = entry->attribute(kGobo2Rotate)) {
    if (beam->goboCount() < 2) beam->setGoboCount(2);
    applyAttribute(*beam->gobos[1]->orientation, *specs);
  }
  if (!entry->attribute(kGobo2) && !entry->attribute(kGobo2Rotate)) beam->setGoboCount(1);
  for (int i = 0; i < 3; ++i)
    take(kRed + i, colour.rgbo[i], theirColour ? theirColour->rgbo[i] : nullptr);
  for (Value* c : colour.rgbo)
    for (auto& spec : c->specs.specs) spec->setOffset(spec->specOffset);
  take(kDimmer, colour.intensity, theirColour ? theirColour->intensity : nullptr);

  // The filters follow the leading run of colour wheels the personality has.
  for (int k = 1; k <= 4; ++k) {
    const DmxSpecs* specs = entry->attribute(kColourWheels[k - 1]);
    if (!specs) {
      colour.setFilterCount(k - 1);
      break;
    }
    colour.setFilterCount(k);
    applyAttribute(*colour.filters[size_t(k - 1)], *specs);
  }
  channelCount = entry->channelCount();
  return true;
}

// ---------------------------------------------------------------- patching

void Light::setPatch(int base) {
  dmxBase = base;
  Color& colour = *beam->colour;
  FixtureEntry* entry = boundEntry();
  if (!entry) {
    pan->setBaseAll(base);
    tilt->setBaseAll(base);
    beam->coneAngle->setBaseAll(base);
    beam->aperture->setBaseAll(base);
    for (auto& g : beam->gobos) {
      g->index->setBaseAll(base);
      g->orientation->setBaseAll(base);
    }
    for (Value* c : colour.rgbo) c->setBaseAll(base);
    colour.intensity->setBaseAll(base);
    for (Value* f : colour.filters) f->setBaseAll(base);
    return;
  }
  // DMX only where the personality drives the attribute.
  auto follow = [&](Value* v, int slot) {
    if (entry->attribute(slot))
      v->setBaseAll(base);
    else
      v->disableDmx();
  };
  follow(pan, kPan);
  follow(tilt, kTilt);
  follow(beam->coneAngle, kZoom);
  follow(beam->aperture, kIris);
  beam->aperture->setValue(1);
  if (beam->goboCount() > 0) {
    follow(beam->gobos[0]->index, kGobo1);
    follow(beam->gobos[0]->orientation, kGobo1Rotate);
  }
  if (beam->goboCount() > 1) {
    follow(beam->gobos[1]->index, kGobo2);
    follow(beam->gobos[1]->orientation, kGobo2Rotate);
  }
  follow(colour.rgbo[0], kRed);
  follow(colour.rgbo[1], kGreen);
  follow(colour.rgbo[2], kBlue);
  follow(colour.intensity, kDimmer);
  colour.intensity->setValue(255);
  for (size_t k = 0; k < colour.filters.size() && k < 4; ++k) {
    if (entry->attribute(kColourWheels[k]))
      colour.filters[k]->setBaseAll(base);
    else if (k == 0)
      colour.filters[k]->disableDmx();
  }
}

void Light::disablePatch() {
  dmxBase = -1;
  pan->disableDmx();
  tilt->disableDmx();
  beam->coneAngle->disableDmx();
  beam->aperture->disableDmx();
  beam->aperture->setValue(1);
  for (auto& g : beam->gobos) {
    g->index->disableDmx();
    g->orientation->disableDmx();
  }
  Color& colour = *beam->colour;
  for (Value* c : colour.rgbo) c->disableDmx();
  colour.intensity->disableDmx();
  for (Value* f : colour.filters) f->disableDmx();
  for (int i = 0; i < 3; ++i) {
    posn->v[i]->disableDmx();
    size->v[i]->disableDmx();
    orient->v[i]->disableDmx();
  }
}

// ---------------------------------------------------------------- frame

LightPose Light::pose() const {
  LightPose p;
  p.position = worldPosition();
  p.orientation = worldOrientation();
  p.size = getSize();
  p.pan = getPan();
  p.tilt = getTilt();
  return p;
}

void Light::project() {
  const Theatre& t = list.theatre;
  if (!t.viewList) return;
  const ViewList& views = *t.viewList;
  const LightPose p = pose();
  Vec3 turn;
  const bool turned = headTurn(turn);
  Vec3 rings[2][kBodyRing];
  bodyRings(roundToInt(p.position), p.size, p.orientation, turned ? &turn : nullptr, rings);
  for (int pane = 0; pane < views.panes() && pane < 4; ++pane) {
    auto& r = representations[size_t(pane)];
    if (!r) r = newBodyRepresent(pane);
    if (const ViewEntry* view = views.paneView(pane))
      fillBody(r->polygons, rings, view->transformation);
  }
  computeRays(p);
  beam->computeSpots(list.wallSize());
}

void Light::projectToPlane() {
  const Theatre& t = list.theatre;
  if (!t.viewList) return;
  const ViewList& views = *t.viewList;
  for (int pane = 0; pane < views.panes() && pane < 4; ++pane)
    if (Represent* r = representation(pane))
      projectShape(views.projection(pane), r->polygons, kBodyRing);
}

void Light::drawOutline() {
  int rgb[3];
  roleColor(rgb);
  drawRepresentation(colorNumber(rgb[0], rgb[1], rgb[2]));
  if (!beam->hasRays() || !list.theatre.viewList) return;
  beam->mapToPanes(*list.theatre.viewList, list.theatre.paneCount);
  beam->drawBeam();
}

void Light::eraseOutline() {
  drawRepresentation(0);
  if (!beam->hasRays() || !list.theatre.viewList) return;
  beam->mapToPanes(*list.theatre.viewList, list.theatre.paneCount);
  beam->draw(0, 0);
}

// ---------------------------------------------------------------- file

void Light::load(Load& in) {
  // A new light took its template's personality, which a section without one must not keep.
  if (!personality.empty()) bindPersonality("", true);
  Riser::load(in);
}

bool Light::loadExtraKey(Load& in) {
  if (in.isKey("beam")) {
    beam->load(in);
  } else if (in.isKey("pan")) {
    pan->load(in);
  } else if (in.isKey("tilt")) {
    tilt->load(in);
  } else if (in.isKey("personality")) {
    std::string name;
    if (readString(in, name) && !bindPersonality(name, false))
      logWarning("Personality \"%s\" is not in the fixture index; the light keeps its decoding",
                 name.c_str());
  } else {
    return false;
  }
  return true;
}

void Light::save(FILE* f, const std::string& prefix) const {
  Riser::save(f, prefix);
  const char* p = prefix.c_str();
  const std::string child = prefix + "  ";
  if (!personality.empty()) {
    fprintf(f, "%s personality\n", p);
    fprintf(f, "%s  %s\n", p, personality.c_str());
  }
  fprintf(f, "%s beam\n", p);
  beam->save(f, child);
  fprintf(f, "%s pan\n", p);
  pan->save(f, child);
  fprintf(f, "%s tilt\n", p);
  tilt->save(f, child);
}

}  // namespace lmv
