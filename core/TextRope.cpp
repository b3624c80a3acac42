#include "core/TextRope.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace velkor {

namespace {

using ChunkList = std::vector<std::shared_ptr<const std::string>>;

void AppendSplit(ChunkList& chunks, std::string_view text) {
  for (std::size_t pos = 0; pos < text.size(); pos += TextRope::kChunkBytes) {
    chunks.push_back(std::make_shared<const std::string>(text.substr(pos, TextRope::kChunkBytes)));
  }
}

}  // namespace

template <typename Visit>
void TextRope::ForEachChunk(Visit visit) const {
  for (const PagePtr& page : pages_) {
    for (const Chunk& chunk : page->chunks) visit(chunk);
  }
}

std::vector<TextRope::PagePtr> TextRope::Paginate(const std::vector<Chunk>& chunks) {
  std::vector<PagePtr> pages;
  for (std::size_t i = 0; i < chunks.size(); i += kPageChunks) {
    auto page = std::make_shared<Page>();
    const std::size_t end = std::min(chunks.size(), i + kPageChunks);
    page->chunks.assign(chunks.begin() + static_cast<std::ptrdiff_t>(i),
                        chunks.begin() + static_cast<std::ptrdiff_t>(end));
    for (const Chunk& chunk : page->chunks) page->bytes += chunk->size();
    pages.push_back(std::move(page));
  }
  return pages;
}

void TextRope::SetPages(std::vector<PagePtr> pages) {
  pages_ = std::move(pages);
  pageStarts_.clear();
  pageStarts_.reserve(pages_.size());
  size_ = 0;
  for (const PagePtr& page : pages_) {
    pageStarts_.push_back(size_);
    size_ += page->bytes;
  }
}

TextRope::TextRope(std::string_view text) {
  ChunkList chunks;
  chunks.reserve(text.size() / kChunkBytes + 1);
  AppendSplit(chunks, text);
  SetPages(Paginate(chunks));
}

std::string TextRope::Flatten() const {
  std::string out;
  out.reserve(size_);
  ForEachChunk([&out](const Chunk& chunk) { out += *chunk; });
  return out;
}

TextRope::Place TextRope::Locate(std::size_t pos) const {
  Place place;
  place.page =
      static_cast<std::size_t>(std::upper_bound(pageStarts_.begin(), pageStarts_.end(), pos) - pageStarts_.begin()) - 1;
  std::size_t offset = pos - pageStarts_[place.page];
  const Page& page = *pages_[place.page];
  while (place.chunk < page.chunks.size() && offset >= page.chunks[place.chunk]->size()) {
    offset -= page.chunks[place.chunk]->size();
    ++place.chunk;
  }
  place.offset = offset;
  return place;
}

char TextRope::At(std::size_t pos) const {
  const Place place = Locate(pos);
  return (*pages_[place.page]->chunks[place.chunk])[place.offset];
}

std::size_t TextRope::Find(char byte, std::size_t from) const {
  if (from >= size_) return npos;
  const Place place = Locate(from);
  std::size_t offset = from - place.offset;  // the start of the chunk holding `from`
  for (std::size_t page = place.page; page < pages_.size(); ++page) {
    const auto& chunks = pages_[page]->chunks;
    for (std::size_t c = page == place.page ? place.chunk : 0; c < chunks.size(); ++c) {
      const std::string& chunk = *chunks[c];
      const std::size_t start = page == place.page && c == place.chunk ? place.offset : 0;
      const void* hit = std::memchr(chunk.data() + start, byte, chunk.size() - start);
      if (hit) return offset + static_cast<std::size_t>(static_cast<const char*>(hit) - chunk.data());
      offset += chunk.size();
    }
  }
  return npos;
}

std::string TextRope::Substr(std::size_t pos, std::size_t length) const {
  std::string out;
  if (pos >= size_) return out;
  length = std::min(length, size_ - pos);
  out.reserve(length);
  Place place = Locate(pos);
  for (std::size_t page = place.page; page < pages_.size() && out.size() < length; ++page) {
    const auto& chunks = pages_[page]->chunks;
    for (std::size_t c = page == place.page ? place.chunk : 0; c < chunks.size() && out.size() < length; ++c) {
      const std::size_t from = page == place.page && c == place.chunk ? place.offset : 0;
      out.append(*chunks[c], from, std::min(chunks[c]->size() - from, length - out.size()));
    }
  }
  return out;
}

TextRope TextRope::Replace(std::size_t pos, std::size_t removed, std::string_view inserted) const {
  pos = std::min(pos, size_);
  removed = std::min(removed, size_ - pos);
  if (pages_.empty()) return TextRope(inserted);

  // The pages the change touches: from the one holding `pos` to the one
  // holding the end of the removed bytes (the last page for the very end).
  const auto pageOf = [this](std::size_t at) {
    return at >= size_ ? pages_.size() - 1
                       : static_cast<std::size_t>(std::upper_bound(pageStarts_.begin(), pageStarts_.end(), at) -
                                                  pageStarts_.begin()) -
                             1;
  };
  const std::size_t firstPage = pageOf(pos);
  const std::size_t lastPage = std::max(firstPage, pageOf(pos + removed));
  ChunkList chunks;
  for (std::size_t p = firstPage; p <= lastPage; ++p) {
    chunks.insert(chunks.end(), pages_[p]->chunks.begin(), pages_[p]->chunks.end());
  }

  // Within them, the parts holding the start and the end of the change.
  std::size_t local = pos - pageStarts_[firstPage];
  std::size_t first = 0;
  while (first + 1 < chunks.size() && local >= chunks[first]->size()) local -= chunks[first++]->size();
  std::size_t localEnd = local + removed;
  std::size_t last = first;
  while (last + 1 < chunks.size() && localEnd > chunks[last]->size()) localEnd -= chunks[last++]->size();

  std::string middle;
  middle.reserve(local + inserted.size() + (chunks[last]->size() - std::min(localEnd, chunks[last]->size())));
  middle.append(*chunks[first], 0, local);
  middle.append(inserted);
  if (localEnd < chunks[last]->size()) middle.append(*chunks[last], localEnd, std::string::npos);

  ChunkList changed(chunks.begin(), chunks.begin() + static_cast<std::ptrdiff_t>(first));
  AppendSplit(changed, middle);
  changed.insert(changed.end(), chunks.begin() + static_cast<std::ptrdiff_t>(last) + 1, chunks.end());

  std::vector<PagePtr> pages(pages_.begin(), pages_.begin() + static_cast<std::ptrdiff_t>(firstPage));
  for (PagePtr& page : Paginate(changed)) pages.push_back(std::move(page));
  pages.insert(pages.end(), pages_.begin() + static_cast<std::ptrdiff_t>(lastPage) + 1, pages_.end());
  TextRope result;
  result.SetPages(std::move(pages));
  return result;
}

std::size_t TextRope::CommonPrefix(const TextRope& a, const TextRope& b) {
  std::vector<const std::string*> ca, cb;
  a.ForEachChunk([&ca](const Chunk& c) { ca.push_back(c.get()); });
  b.ForEachChunk([&cb](const Chunk& c) { cb.push_back(c.get()); });
  std::size_t common = 0, ia = 0, ib = 0, oa = 0, ob = 0;
  while (ia < ca.size() && ib < cb.size()) {
    if (oa == 0 && ob == 0 && ca[ia] == cb[ib]) {  // a shared part: equal whole
      common += ca[ia]->size();
      ++ia, ++ib;
      continue;
    }
    const std::size_t n = std::min(ca[ia]->size() - oa, cb[ib]->size() - ob);
    const char* pa = ca[ia]->data() + oa;
    const char* pb = cb[ib]->data() + ob;
    const std::size_t same = static_cast<std::size_t>(std::mismatch(pa, pa + n, pb).first - pa);
    common += same;
    if (same < n) return common;
    oa += n, ob += n;
    if (oa == ca[ia]->size()) ++ia, oa = 0;
    if (ob == cb[ib]->size()) ++ib, ob = 0;
  }
  return common;
}

std::size_t TextRope::CommonSuffix(const TextRope& a, const TextRope& b, std::size_t prefix) {
  const std::size_t limit = std::min(a.size_, b.size_) - std::min(prefix, std::min(a.size_, b.size_));
  std::vector<const std::string*> ca, cb;
  a.ForEachChunk([&ca](const Chunk& c) { ca.push_back(c.get()); });
  b.ForEachChunk([&cb](const Chunk& c) { cb.push_back(c.get()); });
  // Walk from the ends; ra/rb count the bytes already taken from the current
  // part's end.
  std::size_t common = 0, ra = 0, rb = 0;
  std::size_t ia = ca.size(), ib = cb.size();
  while (ia > 0 && ib > 0 && common < limit) {
    const std::string* pa = ca[ia - 1];
    const std::string* pb = cb[ib - 1];
    if (ra == 0 && rb == 0 && pa == pb && common + pa->size() <= limit) {
      common += pa->size();
      --ia, --ib;
      continue;
    }
    const std::size_t n = std::min({pa->size() - ra, pb->size() - rb, limit - common});
    for (std::size_t k = 0; k < n; ++k) {
      if ((*pa)[pa->size() - ra - 1 - k] != (*pb)[pb->size() - rb - 1 - k]) return common + k;
    }
    common += n;
    ra += n, rb += n;
    if (ra == pa->size()) --ia, ra = 0;
    if (rb == pb->size()) --ib, rb = 0;
  }
  return common;
}

std::size_t TextRope::BytesNotIn(const TextRope* other) const {
  std::unordered_set<const std::string*> shared;
  std::unordered_set<const Page*> sharedPages;
  if (other) {
    other->ForEachChunk([&shared](const Chunk& c) { shared.insert(c.get()); });
    for (const PagePtr& page : other->pages_) sharedPages.insert(page.get());
  }
  std::size_t bytes = pages_.size() * (sizeof(PagePtr) + sizeof(std::size_t));
  for (const PagePtr& page : pages_) {
    if (sharedPages.count(page.get())) continue;
    bytes += sizeof(Page) + page->chunks.size() * sizeof(Chunk);
    for (const Chunk& chunk : page->chunks) {
      if (!shared.count(chunk.get())) bytes += chunk->size() + sizeof(std::string);
    }
  }
  return bytes;
}

bool TextRope::operator==(const TextRope& other) const {
  return size_ == other.size_ && CommonPrefix(*this, other) == size_;
}

bool TextRope::operator==(std::string_view text) const {
  if (size_ != text.size()) return false;
  std::size_t pos = 0;
  bool same = true;
  ForEachChunk([&](const Chunk& chunk) {
    if (same && text.compare(pos, chunk->size(), *chunk) != 0) same = false;
    pos += chunk->size();
  });
  return same;
}

}  // namespace velkor
