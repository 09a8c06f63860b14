#include "editing/edit_history.hpp"

#include <algorithm>
#include <iterator>
#include <type_traits>
#include <utility>

#include "model/geometry.hpp"

namespace tessarim {
namespace detail {

void markModuleModified(Model& model, int index) {
  model.document.module[index].modified = 1;
  if (placesModules(model.document)) model.status.documentModified = true;
}

std::size_t heapBytes(const Module& m) {
  std::size_t n = m.filename.capacity() + m.instances.capacity() * sizeof(Instance) +
                  m.polygons.capacity() * sizeof(Polygon) + m.vertices.capacity() * sizeof(Vertex);
  for (const std::string& map : m.maps) n += map.capacity();
  return n;
}

std::size_t heapBytes(const Document& d) {
  std::size_t n = d.documentPath.capacity() + d.connectors.capacity() * sizeof(Connector) +
                  d.components.capacity() * sizeof(Component) + d.schemeFile.capacity();
  for (const Module& m : d.module) n += heapBytes(m);
  return n;
}

}  // namespace detail

namespace {

// The file times say when the editor last read or wrote a file; they are not content, and
// putting an older one back would look like a change made outside.
void keepFileTimes(Module& live, Module& image) {
  std::swap(live.fileTime, image.fileTime);
  std::swap(live.mapTimes, image.mapTimes);
}

class KeptModule final : public KeptPart {
 public:
  KeptModule(Document& document, int index)
      : document_(document), index_(index), image_(document.module[index]) {}
  void swap() override {
    Module& live = document_.module[index_];
    std::swap(live, image_);
    keepFileTimes(live, image_);
  }
  std::size_t bytes() const override { return sizeof(Module) + detail::heapBytes(image_); }
  const void* place() const override { return &document_.module[index_]; }
  std::size_t extent() const override { return sizeof(Module); }
  void markModified(Model& model) const override { detail::markModuleModified(model, index_); }
  void findNonFinite(std::vector<NonFiniteNumbers>& found) const override {
    NonFiniteCount live, kept;
    countNonFinite(document_.module[index_], live);
    if (!live.any()) return;
    countNonFinite(image_, kept);
    addNonFiniteGrowth(kept, live, index_, found);
  }

 private:
  Document& document_;
  int index_;
  Module image_;
};

// One list of a module, found by the module's index: the list object itself may move when the
// document is swapped whole.
template <class T>
class KeptList final : public KeptPart {
 public:
  KeptList(Document& document, int index, std::vector<T> Module::*list)
      : document_(document), index_(index), list_(list), image_(document.module[index].*list) {}
  void swap() override { std::swap(document_.module[index_].*list_, image_); }
  std::size_t bytes() const override { return sizeof(image_) + detail::heapBytes(image_); }
  const void* place() const override { return &(document_.module[index_].*list_); }
  std::size_t extent() const override { return sizeof(image_); }
  void markModified(Model& model) const override {
    // Instances are the assembly's, not the mesh file's: their edits leave the mesh unmodified.
    if constexpr (std::is_same_v<T, Instance>) {
      model.status.documentModified = true;
    } else {
      detail::markModuleModified(model, index_);
    }
  }
  void findNonFinite(std::vector<NonFiniteNumbers>& found) const override {
    NonFiniteCount live, kept;
    countNonFinite(document_.module[index_].*list_, live);
    if (!live.any()) return;
    countNonFinite(image_, kept);
    addNonFiniteGrowth(kept, live, index_, found);
  }

 private:
  Document& document_;
  int index_;
  std::vector<T> Module::*list_;
  std::vector<T> image_;
};

// Some polygons of a module, each with its contents at the other end of the step, and the list's
// length there: the polygons past the shorter length move between the list and tail_.
class KeptPolygons final : public KeptPart {
 public:
  KeptPolygons(Document& document, int index, std::span<const std::uint32_t> touched)
      : document_(document), index_(index) {
    const std::vector<Polygon>& list = document.module[index].polygons;
    length_ = list.size();
    std::vector<std::uint32_t> at(touched.begin(), touched.end());
    std::erase_if(at, [&](std::uint32_t i) { return i >= length_; });
    // A polygon kept twice would be swapped back and forth again by its second copy.
    std::sort(at.begin(), at.end());
    at.erase(std::unique(at.begin(), at.end()), at.end());
    kept_.reserve(at.size());
    for (std::uint32_t i : at) kept_.push_back({i, list[i]});
  }
  void swap() override {
    std::vector<Polygon>& list = document_.module[index_].polygons;
    for (auto& [i, polygon] : kept_) std::swap(list[i], polygon);
    const std::size_t now = list.size();
    if (now > length_) {
      const auto cut = list.begin() + static_cast<std::ptrdiff_t>(length_);
      tail_.assign(std::make_move_iterator(cut), std::make_move_iterator(list.end()));
      list.erase(cut, list.end());
    } else {
      list.insert(list.end(), std::make_move_iterator(tail_.begin()),
                  std::make_move_iterator(tail_.end()));
      tail_.clear();
    }
    length_ = now;
  }
  std::size_t bytes() const override {
    return sizeof(*this) + detail::heapBytes(kept_) + detail::heapBytes(tail_);
  }
  // Covers no whole part: keeping the list or the module after it is still needed.
  const void* place() const override { return &document_.module[index_].polygons; }
  std::size_t extent() const override { return 0; }
  void markModified(Model& model) const override { detail::markModuleModified(model, index_); }
  // Only the kept polygons and those appended since: the rest of a large list is not read.
  void findNonFinite(std::vector<NonFiniteNumbers>& found) const override {
    const std::vector<Polygon>& list = document_.module[index_].polygons;
    NonFiniteCount live, kept;
    for (const auto& [i, polygon] : kept_) {
      if (i < list.size()) countNonFinite(list[i], live);
    }
    for (std::size_t i = length_; i < list.size(); ++i) countNonFinite(list[i], live);
    if (!live.any()) return;
    for (const auto& [i, polygon] : kept_) countNonFinite(polygon, kept);
    for (const Polygon& polygon : tail_) countNonFinite(polygon, kept);
    addNonFiniteGrowth(kept, live, index_, found);
  }

 private:
  Document& document_;
  int index_;
  std::vector<std::pair<std::uint32_t, Polygon>> kept_;
  std::size_t length_ = 0;
  std::vector<Polygon> tail_;
};

// Polygons and vertices removed from a module, each with its index in the full lists; the
// step puts them back in place and takes them out again, renumbering the corners both ways.
class KeptRemoval final : public KeptPart {
 public:
  KeptRemoval(Document& document, int index, std::span<const std::uint8_t> polygonGone,
              std::span<const std::uint8_t> vertexGone)
      : document_(document), index_(index) {
    const Module& m = document.module[index];
    const std::size_t polygons = std::min(polygonGone.size(), m.polygons.size());
    const std::size_t vertices = std::min(vertexGone.size(), m.vertices.size());
    // Sized once: growing by doubling would copy the kept polygons several times over.
    polygons_.reserve(
        static_cast<std::size_t>(std::count_if(polygonGone.begin(), polygonGone.begin() + polygons,
                                               [](std::uint8_t g) { return g != 0; })));
    vertices_.reserve(static_cast<std::size_t>(std::count_if(
        vertexGone.begin(), vertexGone.begin() + vertices, [](std::uint8_t g) { return g != 0; })));
    for (std::size_t p = 0; p < polygons; ++p) {
      if (polygonGone[p]) polygons_.push_back({p, m.polygons[p]});
    }
    for (std::size_t v = 0; v < vertices; ++v) {
      if (vertexGone[v]) vertices_.push_back({v, m.vertices[v]});
    }
  }
  // Constructed with the module whole; the first swap removes.
  void swap() override {
    removed_ ? restore() : remove();
    removed_ = !removed_;
  }
  std::size_t bytes() const override {
    return sizeof(*this) + detail::heapBytes(polygons_) + detail::heapBytes(vertices_);
  }
  const void* place() const override { return &document_.module[index_]; }
  std::size_t extent() const override { return 0; }
  void markModified(Model& model) const override { detail::markModuleModified(model, index_); }
  // Removing makes no number.
  void findNonFinite(std::vector<NonFiniteNumbers>&) const override {}

 private:
  template <class T>
  static void takeOut(std::vector<T>& list, const std::vector<std::pair<std::size_t, T>>& gone) {
    std::size_t next = 0, write = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (next < gone.size() && gone[next].first == i) {
        ++next;
        continue;
      }
      if (write != i) list[write] = std::move(list[i]);
      ++write;
    }
    list.resize(write);
  }
  template <class T>
  static void putBack(std::vector<T>& list, const std::vector<std::pair<std::size_t, T>>& gone) {
    std::size_t read = list.size();
    list.resize(list.size() + gone.size());
    std::size_t next = gone.size();
    for (std::size_t i = list.size(); i-- > 0;) {
      if (next > 0 && gone[next - 1].first == i) {
        list[i] = gone[--next].second;
      } else {
        list[i] = std::move(list[--read]);
      }
    }
  }

  void remove() {
    Module& m = document_.module[index_];
    const std::size_t vertexCount = m.vertices.size();
    const auto removed = static_cast<std::uint32_t>(vertices_.size());
    std::vector<std::uint32_t> renumbered;
    if (removed > 0) {
      renumbered.resize(vertexCount);
      std::size_t next = 0;
      for (std::size_t v = 0; v < vertexCount; ++v) {
        if (next < vertices_.size() && vertices_[next].first == v) ++next;
        renumbered[v] = static_cast<std::uint32_t>(v - next);
      }
    }
    takeOut(m.polygons, polygons_);
    takeOut(m.vertices, vertices_);
    if (removed == 0) return;
    for (Polygon& polygon : m.polygons) {
      for (int c = 0; c < cornerCount(polygon); ++c) {
        std::uint32_t& i = polygon.vertexIndex[c];
        i = i < vertexCount ? renumbered[i] : i - removed;
      }
    }
  }

  void restore() {
    Module& m = document_.module[index_];
    const std::size_t remaining = m.vertices.size();
    const auto removed = static_cast<std::uint32_t>(vertices_.size());
    if (removed > 0) {
      // Each remaining vertex's index in the full list.
      std::vector<std::uint32_t> full(remaining);
      std::size_t next = 0, v = 0;
      for (std::size_t j = 0; j < remaining; ++j, ++v) {
        while (next < vertices_.size() && vertices_[next].first == v) ++next, ++v;
        full[j] = static_cast<std::uint32_t>(v);
      }
      for (Polygon& polygon : m.polygons) {
        for (int c = 0; c < cornerCount(polygon); ++c) {
          std::uint32_t& i = polygon.vertexIndex[c];
          i = i < remaining ? full[i] : i + removed;
        }
      }
    }
    putBack(m.vertices, vertices_);
    putBack(m.polygons, polygons_);
  }

  Document& document_;
  int index_;
  std::vector<std::pair<std::size_t, Polygon>> polygons_;
  std::vector<std::pair<std::size_t, Vertex>> vertices_;
  bool removed_ = false;
};

class KeptDocument final : public KeptPart {
 public:
  explicit KeptDocument(Document& document) : document_(document), image_(document) {}
  void swap() override {
    std::swap(document_, image_);
    // Where the document is saved is not part of an edit.
    std::swap(document_.documentPath, image_.documentPath);
    std::swap(document_.documentVersion, image_.documentVersion);
    for (std::size_t i = 0; i < document_.module.size(); ++i)
      keepFileTimes(document_.module[i], image_.module[i]);
  }
  std::size_t bytes() const override { return sizeof(Document) + detail::heapBytes(image_); }
  const void* place() const override { return &document_; }
  std::size_t extent() const override { return sizeof(Document); }
  void markModified(Model& model) const override {
    for (int i = 0; i < model.document.wldfiles; ++i) model.document.module[i].modified = 1;
    model.status.documentModified = true;
  }
  // Modules are compared in total, as such an edit may move them about; a module is named
  // where it holds more than the module kept at its index.
  void findNonFinite(std::vector<NonFiniteNumbers>& found) const override {
    std::array<NonFiniteCount, maxModules> live{}, kept{};
    NonFiniteCount liveTotal, keptTotal, liveOwn, keptOwn;
    const int liveModules = std::min<int>(document_.wldfiles, maxModules);
    const int keptModules = std::min<int>(image_.wldfiles, maxModules);
    for (int m = 0; m < liveModules; ++m) {
      countNonFinite(document_.module[m], live[m]);
      liveTotal += live[m];
    }
    countDocumentNonFinite(document_, liveOwn);
    if (!liveTotal.any() && !liveOwn.any()) return;
    for (int m = 0; m < keptModules; ++m) {
      countNonFinite(image_.module[m], kept[m]);
      keptTotal += kept[m];
    }
    for (int k = 0; k < numberKindCount; ++k) {
      const auto kind = static_cast<NumberKind>(k);
      if (liveTotal[kind] <= keptTotal[kind]) continue;
      bool named = false;
      for (int m = 0; m < liveModules; ++m) {
        if (live[m][kind] <= kept[m][kind]) continue;
        found.push_back({kind, m});
        named = true;
      }
      if (!named) found.push_back({kind, -1});
    }
    countDocumentNonFinite(image_, keptOwn);
    addNonFiniteGrowth(keptOwn, liveOwn, -1, found);
  }

 private:
  Document& document_;
  Document image_;
};

// After undo or redo the document is never taken for its saved files: what was swapped is
// marked modified, even where that returns it to what was saved.
Changes swapStep(Model& model, EditHistory::Step& step, bool back) {
  if (back) {
    for (auto it = step.parts.rbegin(); it != step.parts.rend(); ++it) (*it)->swap();
  } else {
    for (auto& part : step.parts) part->swap();
  }
  for (auto& part : step.parts) part->markModified(model);
  model.selection = back ? step.before : step.after;
  const Changes changes = step.changes | Change::selection | Change::title | Change::menus;
  noteChanges(model, changes);
  return changes;
}

}  // namespace

bool EditHistory::undo(Model& model) {
  if (!canUndo()) return false;
  swapStep(model, steps_[--position_], true);
  return true;
}

bool EditHistory::redo(Model& model) {
  if (!canRedo()) return false;
  swapStep(model, steps_[position_++], false);
  return true;
}

void EditHistory::clear() {
  steps_.clear();
  position_ = 0;
  bytes_ = 0;
}

void EditHistory::push(Step step) {
  while (steps_.size() > position_) {
    bytes_ -= steps_.back().bytes;
    steps_.pop_back();
  }
  bytes_ += step.bytes;
  steps_.push_back(std::move(step));
  position_ = steps_.size();
  trim();
}

void EditHistory::setLimit(std::size_t bytes) {
  limit_ = bytes;
  trim();
}

void EditHistory::trim() {
  std::size_t drop = 0;
  std::size_t kept = bytes_;
  while (drop < steps_.size() && kept > limit_) kept -= steps_[drop++].bytes;
  if (drop == 0) return;
  steps_.erase(steps_.begin(), steps_.begin() + static_cast<std::ptrdiff_t>(drop));
  bytes_ = kept;
  position_ = position_ > drop ? position_ - drop : 0;
}

Edit::Edit(Model& model, EditHistory& history, std::string_view name)
    : model_(model), history_(history), documentModified_(model.status.documentModified) {
  step_.name = name;
  step_.before = model.selection;
  for (int i = 0; i < maxModules; ++i) moduleModified_[i] = model.document.module[i].modified;
}

Edit::~Edit() {
  if (open_) rollback();
}

bool Edit::kept(const void* where, std::size_t size) const {
  const auto* begin = static_cast<const char*>(where);
  for (const auto& part : step_.parts) {
    const auto* placeBegin = static_cast<const char*>(part->place());
    if (begin >= placeBegin && begin + size <= placeBegin + part->extent()) return true;
  }
  return false;
}

void Edit::keep(std::unique_ptr<KeptPart> part, Changes changes) {
  step_.bytes += part->bytes();
  step_.parts.push_back(std::move(part));
  changes_ |= changes;
}

Module& Edit::module(int index) {
  Module& m = model_.document.module[index];
  if (!kept(&m, sizeof(Module))) keep(std::make_unique<KeptModule>(model_.document, index), {});
  changes_ |= contentChanges;
  return m;
}

template <class T>
T& Edit::member(int index, T Module::*list, Changes changes) {
  T& where = model_.document.module[index].*list;
  if (!kept(&where, sizeof(T)))
    keep(std::make_unique<KeptList<typename T::value_type>>(model_.document, index, list), {});
  changes_ |= changes;
  return where;
}

std::vector<Vertex>& Edit::vertices(int index) {
  return member(index, &Module::vertices);
}
std::vector<Polygon>& Edit::polygons(int index) {
  return member(index, &Module::polygons);
}
std::vector<Polygon>& Edit::polygons(int index, std::span<const std::uint32_t> touched) {
  std::vector<Polygon>& list = model_.document.module[index].polygons;
  if (!kept(&list, sizeof(list)))
    keep(std::make_unique<KeptPolygons>(model_.document, index, touched), {});
  changes_ |= contentChanges;
  return list;
}
void Edit::removeFromModule(int index, std::span<const std::uint8_t> polygonGone,
                            std::span<const std::uint8_t> vertexGone) {
  Module& m = model_.document.module[index];
  auto part = std::make_unique<KeptRemoval>(model_.document, index, polygonGone, vertexGone);
  part->swap();
  // Lists kept whole already come back whole; the removal need not be kept besides.
  if (!kept(&m.polygons, sizeof(m.polygons)) || !kept(&m.vertices, sizeof(m.vertices)))
    keep(std::move(part), {});
  changes_ |= contentChanges;
}

std::vector<Instance>& Edit::instances(int index) {
  return member(index, &Module::instances);
}
std::vector<Instance>& Edit::placements(int index) {
  return member(index, &Module::instances, placementChanges);
}

Document& Edit::document() {
  if (!kept(&model_.document, sizeof(Document)))
    keep(std::make_unique<KeptDocument>(model_.document), {});
  changes_ |= contentChanges | Change::textures;
  return model_.document;
}

Changes Edit::commit() {
  std::vector<NonFiniteNumbers> found;
  for (const auto& part : step_.parts) part->findNonFinite(found);
  if (!found.empty()) {
    refuse(found);
    return {};
  }
  open_ = false;
  std::erase_if(step_.parts, [&](const auto& part) {
    if (!part->unchanged()) return false;
    step_.bytes -= part->bytes();
    return true;
  });
  const Changes changes = step_.parts.empty() ? reported_ : changes_ | reported_;
  if (changes.empty()) return {};
  for (const auto& part : step_.parts) part->markModified(model_);
  if (reported_.has(Change::modified)) model_.status.documentModified = true;
  step_.after = model_.selection;
  step_.changes = changes;
  noteChanges(model_, changes);
  if (!step_.parts.empty()) history_.push(std::move(step_));
  return changes;
}

void Edit::rollback() {
  open_ = false;
  for (auto it = step_.parts.rbegin(); it != step_.parts.rend(); ++it) (*it)->swap();
  model_.selection = step_.before;
  step_.parts.clear();
  model_.status.documentModified = documentModified_;
  for (int i = 0; i < maxModules; ++i) model_.document.module[i].modified = moduleModified_[i];
}

void Edit::refuse(const std::vector<NonFiniteNumbers>& found) {
  // What a drag showed as it went is drawn again as it was.
  const Changes done = changes_ | reported_;
  Changes redraw = Change::selection | Change::title | Change::menus;
  for (const Change c : {Change::geometry, Change::placement}) {
    if (done.has(c)) redraw |= c;
  }
  rollback();
  refused_ = true;
  std::string what = describeNumbers(model_.document, found);
  if (!what.empty() && what[0] >= 'a' && what[0] <= 'z') what[0] = static_cast<char>(what[0] - 32);
  history_.noteRefusal(what + " would not be finite numbers. " + step_.name + " changed nothing.");
  noteChanges(model_, redraw);
}

}  // namespace tessarim
