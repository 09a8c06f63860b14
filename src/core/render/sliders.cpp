#include "render/sliders.hpp"

#include "formats/text_writer.hpp"
#include "model/view_options.hpp"

namespace tessarim {

bool sliderShown(SliderId id, const ViewOptions& view) {
  // The texel view and the systems overlay park the lighting sliders.
  const bool lighting = view.lightingSliders && !view.slidersHidden;
  switch (id) {
    case SliderId::age:
      return view.ageSlider;
    case SliderId::stubble:
      return view.stubbleSlider;
    case SliderId::ambient:
      return lighting;
    case SliderId::grime:
      return view.grimeSlider && !view.slidersHidden;
    case SliderId::wetness:
      return view.wetnessSlider && lighting;
    case SliderId::fog:
      return view.fogSlider && lighting;
    case SliderId::speedLimit:
      return view.rtsEditMode == rtsSelectConnection || view.rtsEditMode == rtsConnect;
  }
  return false;
}

void applySliders(SliderState& s, const ViewOptions& view, float& ambient) {
  auto at = [&](SliderId id) { return s.position[static_cast<int>(id)]; };
  auto caption = [&](SliderId id) -> std::string& { return s.caption[static_cast<int>(id)]; };
  if (view.lightingSliders) {
    ambient = static_cast<float>(at(SliderId::ambient)) * 0.01f;
    caption(SliderId::ambient) = formatText("Ambient (%.0f%%)", ambient * 100);
  }
  s.wetness = view.wetnessSlider && view.lightingSliders
                  ? static_cast<float>(at(SliderId::wetness)) * 2.55f + 1
                  : 0;
  caption(SliderId::wetness) = formatText("Wetness (%.1f)", s.wetness);
  s.grime = view.grimeSlider ? static_cast<float>(at(SliderId::grime)) * 0.01f : 0;
  caption(SliderId::grime) = formatText("Grime (%i%%)", at(SliderId::grime));
  s.fog = view.fogSlider && view.lightingSliders ? static_cast<float>(at(SliderId::fog)) * 0.0099f
                                                 : 0.1f;
  caption(SliderId::fog) = formatText("Fog (%.2f)", s.fog);
  const float p = static_cast<float>(at(SliderId::age));
  s.age = p * p * 0.0001f;
  caption(SliderId::age) = formatText("Age:  %.0f", s.age * 62 + 18);
  s.stubble = static_cast<float>(at(SliderId::stubble)) * 0.01f;
  if (sliderShown(SliderId::speedLimit, view)) {
    s.speedLimit = at(SliderId::speedLimit);
    caption(SliderId::speedLimit) =
        formatText("Speed limit (%i Mph / %.2f Kph)", s.speedLimit * 10, s.speedLimit * 16.09);
  }
}

}  // namespace tessarim
