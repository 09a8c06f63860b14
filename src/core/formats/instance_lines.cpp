#include "formats/instance_lines.hpp"

#include <cmath>

#include "formats/guid_text.hpp"
#include "formats/text_scanner.hpp"
#include "formats/text_writer.hpp"
#include "model/instance_types.hpp"

namespace tessarim {
namespace {

constexpr float twoPi = 6.2831855f;
constexpr float degreesPerRadian = 57.29578f;
constexpr float radiansPerDegree = 0.017453292f;
constexpr float floatEpsilon = 1.1920929e-07f;

// Every instance read: phase 0, angles within one turn (keeping their sign), a plain instance's
// motion extent on its location, and a still part given rates of 1.
void cleanUp(Instance& instance, bool& modified) {
  instance.motionPhase = 0;
  for (float& a : instance.orientation) {
    float reduced = std::fmod(a, twoPi);
    if (reduced != a) {
      a = reduced;
      modified = true;
    }
  }
  if (instance.type == instance_type::unassigned) {
    float dx = instance.endLocation[0] - instance.location[0];
    float dy = instance.endLocation[1] - instance.location[1];
    float dz = instance.endLocation[2] - instance.location[2];
    if (std::sqrt(dx * dx + dy * dy + dz * dz) > floatEpsilon) {
      instance.endLocation = instance.location;
      modified = true;
    }
  }
  if (instance.extendRate == 0) instance.extendRate = instance.retractRate = 1;
}

// Nearest whole number of tenths, halves away from zero.
float snapToTenths(float value) {
  return std::round(value * 10.0f) * 0.1f;
}

}  // namespace

bool readAssemblyInstance(TextScanner& in, float v, Instance& t, bool& modified) {
  float* loc = t.location.data();
  float* ori = t.orientation.data();
  if (v > 2.35f) {
    auto guid = readGuid(in);
    if (!guid) return false;
    t.guid = guid->isNull() ? newGuid() : *guid;
    if (v > 2.49f) {
      in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%hd ,%hd ,%f ,", &loc[0], &loc[1], &loc[2], &ori[0], &ori[1],
              &ori[2], &t.group, &t.colourKey, &t.volume);
    } else if (v > 2.38f) {
      in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%hd ,%hd ,", &loc[0], &loc[1], &loc[2], &ori[0], &ori[1],
              &ori[2], &t.group, &t.colourKey);
    } else {
      in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%hd ,", &loc[0], &loc[1], &loc[2], &ori[0], &ori[1], &ori[2],
              &t.group);
    }
  } else if (v >= 2.0f) {
    in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%hd ,", &loc[0], &loc[1], &loc[2], &ori[0], &ori[1], &ori[2],
            &t.group);
  } else {
    in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%hd ,", &loc[0], &loc[1], &loc[2], &ori[2], &ori[0], &ori[1],
            &t.group);
    for (float& a : t.orientation) a *= -radiansPerDegree;
  }

  float* end = t.endLocation.data();
  float* axis = t.hingeAxis.data();
  float* off = t.hingeOffset.data();
  std::int32_t type = 0;
  std::int32_t i[6];
  std::uint32_t x[3];
  float f[6];
  if (v > 2.43f) {
    in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%d ,", &t.extendRate, &t.retractRate,
            &end[0], &end[1], &end[2], &axis[0], &axis[1], &axis[2], &off[0], &off[1], &off[2],
            &t.hingeAngle, &type);
  } else if (v > 2.36f) {
    in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%d ,", &t.extendRate, &end[0], &end[1],
            &end[2], &axis[0], &axis[1], &axis[2], &off[0], &off[1], &off[2], &t.hingeAngle, &type);
  } else if (v > 2.35f) {
    in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%d ,%d ,%d ,%d ,%d ,%x ,%x ,%x ,",
            &t.extendRate, &end[0], &end[1], &end[2], &axis[0], &axis[1], &axis[2], &off[0],
            &off[1], &off[2], &t.hingeAngle, &type, &i[0], &i[1], &i[2], &i[3], &x[0], &x[1],
            &x[2]);
  } else if (v > 2.27f) {
    in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%d ,%d ,%d ,%d ,%d ,%d ,%x ,%x ,",
            &t.extendRate, &end[0], &end[1], &end[2], &axis[0], &axis[1], &axis[2], &off[0],
            &off[1], &off[2], &t.hingeAngle, &type, &i[0], &i[1], &i[2], &i[3], &i[4], &x[0],
            &x[1]);
  } else if (v > 2.21f) {
    in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%d ,%d ,", &t.extendRate, &end[0], &end[1],
            &end[2], &axis[0], &axis[1], &axis[2], &off[0], &off[1], &off[2], &t.hingeAngle, &type,
            &i[0]);
  } else if (v > 2.15f) {
    in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%d ,", &t.extendRate, &end[0], &end[1],
            &end[2], &axis[0], &axis[1], &axis[2], &off[0], &off[1], &off[2], &t.hingeAngle, &type);
  } else if (v > 2.14f) {
    in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%f ,%d ,", &t.extendRate, &end[0], &end[1], &end[2], &f[0],
            &f[1], &f[2], &type);
  } else if (v > 2.13f) {
    in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%f ,", &t.extendRate, &end[0], &end[1], &end[2], &f[0], &f[1],
            &f[2]);
  } else if (v > 1.0f) {
    in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,", &t.extendRate, &end[0], &end[1], &end[2],
            &f[0], &f[1], &f[2], &f[3], &f[4], &f[5]);
  } else {
    t.extendRate = t.retractRate = 0.5f;
    t.endLocation = t.location;
  }
  t.type = static_cast<std::uint8_t>(type);
  if (v > 1.0f && v <= 2.43f) t.retractRate = t.extendRate;
  if (v <= 2.15f) {
    t.hingeAxis = {};
    t.hingeOffset = {};
    t.hingeAngle = 0;
  }
  if (v <= 2.35f) t.guid = newGuid();
  cleanUp(t, modified);
  return true;
}

void readCityInstance(TextScanner& in, float v, Instance& t, bool& modified) {
  float* loc = t.location.data();
  float* ori = t.orientation.data();
  std::uint32_t x[3];
  float f[2];
  if (v < 2.23f) {
    in.scan("%f ,%f ,%f ,%f ,%hd ,", &loc[0], &loc[1], &loc[2], &ori[2], &t.group);
  } else if (v < 2.29f) {
    in.scan("%f ,%f ,%f ,%f ,%hhd ,%hd ,", &loc[0], &loc[1], &loc[2], &ori[2], &t.type, &t.group);
    ori[0] = ori[1] = 0;
  } else if (v < 2.3f || v >= 2.35f) {
    in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%hhd ,%hd ,", &loc[0], &loc[1], &loc[2], &ori[0], &ori[1],
            &ori[2], &t.type, &t.group);
  } else if (v < 2.32f) {
    in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%hhd ,%hd ,%x ,%x ,", &loc[0], &loc[1], &loc[2], &ori[0],
            &ori[1], &ori[2], &t.type, &t.group, &x[0], &x[1]);
  } else if (v < 2.34f) {
    in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%hhd ,%hd ,%x ,%x ,%x ,", &loc[0], &loc[1], &loc[2], &ori[0],
            &ori[1], &ori[2], &t.type, &t.group, &x[0], &x[1], &x[2]);
  } else {
    in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%hhd ,%hd ,%x ,%x ,%x ,%f ,%f ,", &loc[0], &loc[1], &loc[2],
            &ori[0], &ori[1], &ori[2], &t.type, &t.group, &x[0], &x[1], &x[2], &f[0], &f[1]);
  }

  for (float& a : t.orientation) {
    float reduced = std::fmod(a, twoPi);
    if (reduced != a) {
      a = reduced;
      modified = true;
    }
  }
  // Headings snap to whole degrees.
  float snapped = std::round(ori[2] * degreesPerRadian) * radiansPerDegree;
  if (snapped != ori[2]) {
    ori[2] = snapped;
    modified = true;
  }
  // Positions snap to tenths: x and y where they are not whole tenths, z where it is not whole.
  // fmod is exact, so "not a whole tenth" is judged on the stored float against the float 0.1.
  if (std::fmod(loc[0], 0.1f) != 0) {
    loc[0] = snapToTenths(loc[0]);
    modified = true;
  }
  if (std::fmod(loc[1], 0.1f) != 0) {
    loc[1] = snapToTenths(loc[1]);
    modified = true;
  }
  if (std::fmod(loc[2], 1.0f) != 0) {
    loc[2] = snapToTenths(loc[2]);
    modified = true;
  }
  t.motionPhase = 0;
  t.endLocation = t.location;
  t.hingeAxis = {};
  t.hingeOffset = {};
  t.hingeAngle = 0;
  t.extendRate = t.retractRate = 1;  // a still part
}

void writeAssemblyInstance(TextWriter& out, const Instance& t) {
  writeGuid(out, t.guid);
  out.print("%f ,%f ,%f ,%f ,%f ,%f ,%i ,%i ,%f ,", t.location[0], t.location[1], t.location[2],
            t.orientation[0], t.orientation[1], t.orientation[2], t.group, t.colourKey, t.volume);
  out.print("%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%i ,\n", t.extendRate, t.retractRate,
            t.endLocation[0], t.endLocation[1], t.endLocation[2], t.hingeAxis[0], t.hingeAxis[1],
            t.hingeAxis[2], t.hingeOffset[0], t.hingeOffset[1], t.hingeOffset[2], t.hingeAngle,
            t.type);
}

void writeCityInstance(TextWriter& out, const Instance& t) {
  out.print("%f ,%f ,%f ,%f ,%f ,%f ,%i ,%i ,\n", t.location[0], t.location[1], t.location[2],
            t.orientation[0], t.orientation[1], t.orientation[2], t.type, t.group);
}

}  // namespace tessarim
