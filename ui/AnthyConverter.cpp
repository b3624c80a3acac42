#include "ui/AnthyConverter.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <type_traits>
#include <utility>

#include "core/Cp932.h"

namespace velkor::ui {

namespace {

// From anthy.h (anthy 0.4), declared here so that the program builds without
// the header and runs without the library.
struct anthy_conv_stat {
  int nr_segment;
};
struct anthy_segment_stat {
  int nr_candidate;
  int seg_len;
};
constexpr int NTH_UNCONVERTED_CANDIDATE = -1;
constexpr int ANTHY_UTF8_ENCODING = 2;

// anthy's state is the process's: the converters that share it and the home
// folder it was started over.
int gEngineUsers = 0;
std::string gEngineHome;

}  // namespace

struct AnthyConverter::Api {
  using Context = void*;  // anthy_context_t
  int (*init)();
  void (*quit)();
  void (*conf_override)(const char*, const char*);
  Context (*create_context)();
  int (*context_set_encoding)(Context, int);
  int (*set_string)(Context, const char*);
  int (*get_stat)(Context, anthy_conv_stat*);
  int (*get_segment_stat)(Context, int, anthy_segment_stat*);
  int (*get_segment)(Context, int, int, char*, int);
  void (*resize_segment)(Context, int, int);
  int (*commit_segment)(Context, int, int);
  void (*release_context)(Context);

  // Resolves every function from `handle`; false when one is missing.
  bool Resolve(void* handle) {
    bool ok = true;
    auto get = [&](auto& fn, const char* name) {
      void* symbol = dlsym(handle, name);
      fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(symbol);
      ok = ok && symbol != nullptr;
    };
    get(init, "anthy_init");
    get(quit, "anthy_quit");
    get(conf_override, "anthy_conf_override");
    get(create_context, "anthy_create_context");
    get(context_set_encoding, "anthy_context_set_encoding");
    get(set_string, "anthy_set_string");
    get(get_stat, "anthy_get_stat");
    get(get_segment_stat, "anthy_get_segment_stat");
    get(get_segment, "anthy_get_segment");
    get(resize_segment, "anthy_resize_segment");
    get(commit_segment, "anthy_commit_segment");
    get(release_context, "anthy_release_context");
    return ok;
  }
};

AnthyConverter::AnthyConverter(std::string dataFolder, std::string library)
    : dataFolder_(std::filesystem::path(std::move(dataFolder)).lexically_normal().string()),
      library_(std::move(library)),
      api_(std::make_unique<Api>()) {}

AnthyConverter::~AnthyConverter() { Shutdown(); }

bool AnthyConverter::Init() {
  if (state_ != State::kNotTried) return state_ == State::kReady;
  state_ = State::kFailed;
  if (dataFolder_.empty()) return false;
  if (gEngineUsers > 0 && gEngineHome != dataFolder_) return false;

  handle_ = dlopen(library_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) return false;
  std::error_code error;
  std::filesystem::create_directories(dataFolder_, error);
  bool ok = api_->Resolve(handle_) && !error;
  if (ok && gEngineUsers == 0) {
    // anthy reads its home from its configuration, which anthy_init fills
    // from $HOME unless HOME is already set; anthy_quit clears it again.
    api_->conf_override("HOME", dataFolder_.c_str());
    ok = api_->init() == 0;
    if (ok) gEngineHome = dataFolder_;
  }
  if (!ok) {
    dlclose(handle_);
    handle_ = nullptr;
    return false;
  }
  ++gEngineUsers;
  state_ = State::kReady;
  return true;
}

void AnthyConverter::Shutdown() {
  End();
  if (state_ != State::kReady) return;
  if (--gEngineUsers == 0) {
    api_->quit();
    gEngineHome.clear();
  }
  // The library stays loaded for the rest of the process: anthy keeps some
  // memory of its own past anthy_quit, which must stay where it belongs.
  handle_ = nullptr;
  state_ = State::kFailed;
}

bool AnthyConverter::Available() { return Init(); }

bool AnthyConverter::Begin(const std::string& reading) {
  if (!Init()) return false;
  End();
  const std::string text = cp932::ToUtf8(reading);
  if (text.empty()) return false;
  reading_ = reading;
  context_ = api_->create_context();
  if (!context_) return false;
  api_->context_set_encoding(context_, ANTHY_UTF8_ENCODING);
  if (api_->set_string(context_, text.c_str()) == 0) LoadSegments();
  if (segments_.empty()) End();
  return !segments_.empty();
}

void AnthyConverter::LoadSegments() {
  anthy_conv_stat stat{};
  const int count = api_->get_stat(context_, &stat) == 0 ? std::max(stat.nr_segment, 0) : 0;
  segments_.resize(static_cast<std::size_t>(count));
  // anthy counts characters: the lengths of its segments cut the reading as
  // given into theirs unless anthy read some character as two.
  std::vector<std::size_t> ends;
  std::size_t pos = 0;
  bool cut = true;
  for (int i = 0; i < count && cut; ++i) {
    anthy_segment_stat segment{};
    cut = api_->get_segment_stat(context_, i, &segment) == 0;
    for (int n = 0; n < segment.seg_len && cut; ++n) {
      cut = pos < reading_.size();
      if (cut) pos = cp932::NextCharPos(reading_, pos);
    }
    ends.push_back(pos);
  }
  cut = cut && pos == reading_.size();
  for (std::size_t i = 0; i < segments_.size(); ++i) {
    const std::size_t begin = i ? ends[i - 1] : 0;
    segments_[i].reading = cut ? reading_.substr(begin, ends[i] - begin)
                               : cp932::FromUtf8(EngineText(static_cast<int>(i), NTH_UNCONVERTED_CANDIDATE));
  }
}

int AnthyConverter::SegmentCount() { return static_cast<int>(segments_.size()); }

std::string AnthyConverter::EngineText(int segment, int engineCandidate) {
  const int size = api_->get_segment(context_, segment, engineCandidate, nullptr, 0);
  if (size <= 0) return {};
  std::string text(static_cast<std::size_t>(size) + 1, '\0');
  const int written = api_->get_segment(context_, segment, engineCandidate, text.data(), size + 1);
  text.resize(static_cast<std::size_t>(std::max(written, 0)));
  return text;
}

std::string AnthyConverter::SegmentReading(int segment) {
  if (segment < 0 || segment >= SegmentCount()) return {};
  return segments_[static_cast<std::size_t>(segment)].reading;
}

AnthyConverter::Segment* AnthyConverter::Loaded(int segment) {
  if (segment < 0 || segment >= SegmentCount()) return nullptr;
  Segment& s = segments_[static_cast<std::size_t>(segment)];
  if (s.loaded) return &s;
  auto add = [&s](std::string text, int engineIndex) {
    if (text.empty() || std::find(s.candidates.begin(), s.candidates.end(), text) != s.candidates.end()) return;
    s.candidates.push_back(std::move(text));
    s.engineIndex.push_back(engineIndex);
  };
  anthy_segment_stat stat{};
  const int count = api_->get_segment_stat(context_, segment, &stat) == 0 ? stat.nr_candidate : 0;
  for (int i = 0; i < count; ++i) {
    bool lossy = false;
    std::string text = cp932::FromUtf8(EngineText(segment, i), &lossy);
    if (!lossy) add(std::move(text), i);
  }
  add(s.reading, NTH_UNCONVERTED_CANDIDATE);
  add(cp932::FromUtf8(EngineText(segment, NTH_UNCONVERTED_CANDIDATE)), NTH_UNCONVERTED_CANDIDATE);
  s.loaded = true;
  return &s;
}

std::vector<std::string> AnthyConverter::Candidates(int segment) {
  const Segment* s = Loaded(segment);
  return s ? s->candidates : std::vector<std::string>{};
}

void AnthyConverter::Resize(int segment, int delta) {
  if (segment < 0 || segment >= SegmentCount() || (delta != 1 && delta != -1)) return;
  if (segments_[static_cast<std::size_t>(segment)].committed) return;
  api_->resize_segment(context_, segment, delta);
  // The resized segment and all after it are split anew.
  segments_.resize(static_cast<std::size_t>(segment));
  LoadSegments();
}

void AnthyConverter::Commit(int segment, int candidate) {
  Segment* s = Loaded(segment);
  if (!s || s->committed || candidate < 0 || candidate >= static_cast<int>(s->candidates.size())) return;
  if (api_->commit_segment(context_, segment, s->engineIndex[static_cast<std::size_t>(candidate)]) == 0)
    s->committed = true;
}

void AnthyConverter::End() {
  if (!context_) return;
  const bool anyCommitted =
      std::any_of(segments_.begin(), segments_.end(), [](const Segment& s) { return s.committed; });
  if (anyCommitted) {
    // anthy writes what it learnt when the last open segment is committed.
    for (std::size_t i = 0; i < segments_.size(); ++i)
      if (!segments_[i].committed) api_->commit_segment(context_, static_cast<int>(i), 0);
  }
  api_->release_context(context_);
  context_ = nullptr;
  segments_.clear();
  reading_.clear();
}

}  // namespace velkor::ui
