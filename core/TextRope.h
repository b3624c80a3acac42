// An immutable byte text that shares its unchanged parts with the texts it was
// made from. The journal keeps one per entry: a small change of a large
// document costs a few kilobytes, not a copy of the document, and two texts
// that share most of their parts are compared in time of their differences.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

class TextRope {
 public:
  // Bytes per part, and parts per page (the two levels of sharing).
  static constexpr std::size_t kChunkBytes = 4096;
  static constexpr std::size_t kPageChunks = 64;

  TextRope() = default;
  explicit TextRope(std::string_view text);

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  std::string Flatten() const;
  std::string Substr(std::size_t pos, std::size_t length) const;
  // The byte at `pos` (pos < size()).
  char At(std::size_t pos) const;
  // The offset of the first `byte` at or after `from`, or npos.
  std::size_t Find(char byte, std::size_t from) const;
  static constexpr std::size_t npos = std::string::npos;

  // A new text: `removed` bytes at `pos` replaced by `inserted`. This text is
  // unchanged; the result shares every part the change does not touch.
  TextRope Replace(std::size_t pos, std::size_t removed, std::string_view inserted) const;

  // Bytes the two texts have in common at their start, and at their end
  // (the end's count never reaches into the common start).
  static std::size_t CommonPrefix(const TextRope& a, const TextRope& b);
  static std::size_t CommonSuffix(const TextRope& a, const TextRope& b, std::size_t prefix);

  // Memory held by parts this text does not share with `other` (all of its
  // parts when `other` is null): what keeping it beside `other` costs.
  std::size_t BytesNotIn(const TextRope* other) const;

  bool operator==(const TextRope& other) const;
  bool operator==(std::string_view text) const;

 private:
  using Chunk = std::shared_ptr<const std::string>;
  struct Page {
    std::vector<Chunk> chunks;
    std::size_t bytes = 0;
  };
  using PagePtr = std::shared_ptr<const Page>;

  // Where a byte lies: page, part within the page, offset within the part.
  struct Place {
    std::size_t page = 0, chunk = 0, offset = 0;
  };
  Place Locate(std::size_t pos) const;
  static std::vector<PagePtr> Paginate(const std::vector<Chunk>& chunks);
  void SetPages(std::vector<PagePtr> pages);
  template <typename Visit>
  void ForEachChunk(Visit visit) const;

  std::vector<PagePtr> pages_;
  std::vector<std::size_t> pageStarts_;  // byte offset of each page
  std::size_t size_ = 0;
};

}  // namespace velkor
