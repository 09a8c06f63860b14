#pragma once

// The edit path: every change to the document is one named transaction. What it is about to
// change is kept first (a module, the whole document, any other part of the model); its commit
// reports what changed and hands the kept parts to the history, which swaps them back on undo
// and forward again on redo.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/finite_numbers.hpp"
#include "model/model.hpp"

namespace tessarim {

// One kept part of the model: its place and its contents at the other end of the step.
class KeptPart {
 public:
  virtual ~KeptPart() = default;
  virtual void swap() = 0;                // exchanges the kept contents with the live ones
  virtual std::size_t bytes() const = 0;  // what keeping it costs
  // The live contents still equal the kept ones; parts too large to compare say no.
  virtual bool unchanged() const { return false; }
  virtual const void* place() const = 0;   // the live part's address
  virtual std::size_t extent() const = 0;  // and its size, to tell parts inside it
  virtual void markModified(Model& model) const = 0;
  // Adds the numbers the live contents hold more of, not finite, than the kept ones: what the
  // edit made infinite or not a number. Only the live contents are read while they are finite.
  virtual void findNonFinite(std::vector<NonFiniteNumbers>& found) const = 0;
};

// Committed transactions, oldest first, with a bound on the memory their kept parts take.
class EditHistory {
 public:
  static constexpr std::size_t defaultLimit = std::size_t{512} << 20;

  struct Step {
    std::string name;
    std::vector<std::unique_ptr<KeptPart>> parts;
    Selection before, after;
    Changes changes;
    std::size_t bytes = 0;
  };

  bool canUndo() const { return position_ > 0; }
  bool canRedo() const { return position_ < steps_.size(); }
  // Swaps the newest applied step back (undo) or the next one forward (redo); what they swapped
  // is marked modified and its changes reported. False when there is no such step.
  bool undo(Model& model);
  bool redo(Model& model);
  void clear();

  // Drops the steps that could be redone, appends the step and drops the oldest steps while the
  // kept parts take more than the limit (the new one too, when it alone takes more).
  void push(Step step);
  void setLimit(std::size_t bytes);
  std::size_t limit() const { return limit_; }
  std::size_t bytes() const { return bytes_; }
  std::size_t size() const { return steps_.size(); }
  std::size_t position() const { return position_; }  // steps applied, oldest first
  const Step& step(std::size_t index) const { return steps_[index]; }

  // The message of the first edit refused since the last call (its commit would have left
  // numbers that are not finite), to be shown once; empty when there was none.
  std::string takeRefusal() { return std::exchange(refusal_, {}); }
  void noteRefusal(std::string text) {
    if (refusal_.empty()) refusal_ = std::move(text);
  }

 private:
  void trim();

  std::string refusal_;
  std::vector<Step> steps_;
  std::size_t position_ = 0;
  std::size_t bytes_ = 0;
  std::size_t limit_ = defaultLimit;
};

// One user action on the document. Begin with a name, keep each part before changing it, then
// commit; an edit neither committed nor rolled back rolls back when it ends.
class Edit {
 public:
  Edit(Model& model, EditHistory& history, std::string_view name);
  Edit(const Edit&) = delete;
  Edit& operator=(const Edit&) = delete;
  ~Edit();

  // The module, kept before its first change; its change is content (geometry, modified).
  Module& module(int index);
  // One list of the module, kept alone: cheaper than the whole module when an edit touches only
  // its vertices, its polygons (texels and colours too) or its instances.
  std::vector<Vertex>& vertices(int index);
  std::vector<Polygon>& polygons(int index);
  std::vector<Instance>& instances(int index);
  // Only the named polygons of the module and the list's length, for an edit that changes a few
  // polygons of a large module or appends to it; it removes none. Indices past the end are
  // skipped. Returns the whole live list.
  std::vector<Polygon>& polygons(int index, std::span<const std::uint32_t> touched);
  // Removes the marked polygons and vertices of the module in place (a mask shorter than its
  // list marks none past its end); every remaining corner index drops by the removed vertices
  // below it, and one past the vertex list by all of them. Only what goes is kept, so removing
  // many polygons from a large module costs no copy of its lists.
  void removeFromModule(int index, std::span<const std::uint8_t> polygonGone,
                        std::span<const std::uint8_t> vertexGone);
  // The module's instances for an edit that only moves or turns them (none added or removed):
  // nothing is rebuilt for it.
  std::vector<Instance>& placements(int index);
  // The whole document, kept once; for edits that add or remove modules.
  Document& document();
  // Any other part of the model (a document value, the lights, a view option saved with the
  // document), kept before its first change, with what changing it asks for. The part is found
  // again by its address, so it must not live inside a list, whose elements move; keep the list.
  template <class T>
  T& part(T& where, Changes changes);
  // One value of a module's own record (a map name, a flag, a key), kept alone instead of the
  // module: changing it marks the module modified, as its file holds it.
  template <class T>
  T& moduleValue(int index, T& where, Changes changes = contentChanges);

  // Changes that keep nothing: what the edit did besides its kept parts (selection, view).
  void report(Changes changes) { reported_ |= changes; }

  // Reports what changed and hands the kept parts to the history; an edit whose parts are all
  // unchanged leaves no step. Returns what was reported. An edit that leaves a number that is
  // not finite (infinite or not a number: no file holds one) is refused instead: rolled back,
  // its message noted in the history, and nothing returned.
  Changes commit();
  // Puts every kept part back, and the modified marks as they were when the edit began; reports
  // nothing.
  void rollback();
  bool refused() const { return refused_; }

 private:
  template <class T>
  T& member(int index, T Module::*list, Changes changes = contentChanges);
  bool kept(const void* where, std::size_t size) const;
  void keep(std::unique_ptr<KeptPart> part, Changes changes);
  void refuse(const std::vector<NonFiniteNumbers>& found);

  Model& model_;
  EditHistory& history_;
  EditHistory::Step step_;
  Changes changes_;   // of the kept parts
  Changes reported_;  // besides them
  bool open_ = true;
  bool refused_ = false;
  // The modified marks at the beginning: handlers set a module's mark as they change it.
  bool documentModified_;
  std::array<std::uint8_t, maxModules> moduleModified_;
};

namespace detail {

void markModuleModified(Model& model, int index);
std::size_t heapBytes(const Module& module);
std::size_t heapBytes(const Document& document);
template <class T>
std::size_t heapBytes(const T&) {
  return 0;
}
template <class T>
std::size_t heapBytes(const std::vector<T>& v) {
  return v.capacity() * sizeof(T);
}
inline std::size_t heapBytes(const std::string& s) {
  return s.capacity();
}

// A part kept by value; equality decides whether it changed. A part of a module's record names
// the module, which it marks modified.
template <class T>
class KeptValue final : public KeptPart {
 public:
  KeptValue(T& where, Changes changes, int module = -1)
      : where_(where), image_(where), changes_(changes), module_(module) {}
  void swap() override {
    using std::swap;
    swap(where_, image_);
  }
  std::size_t bytes() const override { return sizeof(T) + heapBytes(image_); }
  bool unchanged() const override {
    if constexpr (requires { where_ == image_; }) {
      return where_ == image_;
    } else {
      return false;
    }
  }
  const void* place() const override { return &where_; }
  std::size_t extent() const override { return sizeof(T); }
  void markModified(Model& model) const override {
    if (module_ >= 0) {
      markModuleModified(model, module_);
    } else if (changes_.has(Change::modified)) {
      model.status.documentModified = true;
    }
  }
  // A value of a type countNonFinite does not know holds no number that is counted.
  void findNonFinite(std::vector<NonFiniteNumbers>& found) const override {
    if constexpr (requires(NonFiniteCount n) { countNonFinite(where_, n); }) {
      NonFiniteCount live, kept;
      countNonFinite(where_, live);
      if (!live.any()) return;
      countNonFinite(image_, kept);
      addNonFiniteGrowth(kept, live, module_, found);
    } else {
      (void)found;
    }
  }

 private:
  T& where_;
  T image_;
  Changes changes_;
  int module_;
};

}  // namespace detail

template <class T>
T& Edit::part(T& where, Changes changes) {
  if (!kept(&where, sizeof(T))) keep(std::make_unique<detail::KeptValue<T>>(where, changes), {});
  changes_ |= changes;
  return where;
}

template <class T>
T& Edit::moduleValue(int index, T& where, Changes changes) {
  if (!kept(&where, sizeof(T)))
    keep(std::make_unique<detail::KeptValue<T>>(where, changes, index), {});
  changes_ |= changes;
  return where;
}

}  // namespace tessarim
