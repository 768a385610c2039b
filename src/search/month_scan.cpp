#include "search/month_scan.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"
#include "platform/sha256.h"
#include "search/case_needles.h"
#include "search/chunk_needles.h"
#include "search/decoder.h"
#include "search/find_bytes.h"
#include "search/line_reader.h"
#include "search/record_fields.h"
#include "search/record_matcher.h"
#include "search/month_log.h"
#include "search/prefilter.h"
#include "search/record_finder.h"
#include "search/whole_id.h"

namespace {

const char kLineTooLong[] = "not enough memory for a line this long";

// How often, in records, conversations are looked over, and how many records
// a conference may be quiet before what is kept for it is dropped.
constexpr std::uint64_t kSweepEvery = 1 << 16;
constexpr std::uint64_t kContextWindow = 1 << 20;

// The base64 text of a message as it stands in the line: what the decoder
// decodes, then any "=" padding. The line's end is no alphabet character.
std::string_view coded_text(const char* coded, const char* end) {
  const char* p = coded + base64_run_length(coded);
  while (p != end && *p == '=') ++p;
  return {coded, static_cast<std::size_t>(p - coded)};
}

// Calls visit(year, month) for each month from start to end, in order, while
// it returns true; false when it stopped the walk.
template <class Visit>
bool for_each_month(const Month& start, const Month& end, Visit visit) {
  for (int year = start.year; year <= end.year; ++year) {
    const int first = year == start.year ? start.month : 1;
    const int last = year == end.year ? end.month : 12;
    for (int month = first; month <= last; ++month) {
      if (!visit(year, month)) return false;
    }
  }
  return true;
}

// Hashes and counts the bytes searched.
struct Hasher final : ByteObserver {
  Sha256 hash;
  std::uint64_t bytes = 0;
  void bytes_read(const char* data, std::size_t length) override {
    hash.update(data, length);
    bytes += length;
  }
};

struct Scanner final : RecordSink {
  const SearchSettings& settings;
  const ScanOutput& output;
  std::FILE* const out;
  ResultWriter* const writer;
  const bool writer_needs_fields = writer->needs_fields();
  // With context, every record is a possible neighbour of a match: the
  // finder hands over every one, and the id is tested here.
  const bool visit_every_record;
  const RecordMatcher matcher{settings};
  const NeedleStrings prefilter_strings_ = prefilter_strings(settings);
  Base64Prefilter prefilter{prefilter_strings_};
  const std::string id_needle = settings.search_id.empty() ? std::string() : whole_id_needle(settings.search_id);
  const ChunkNeedles chunk_needles{prefilter_strings_, id_needle};
  const RecordFilter filter;
  const FindRecords find_records;
  std::vector<char> message = std::vector<char>(20000);
  LineReader reader;
  std::uint64_t matches = 0;  // in the current month
  std::uint64_t records = 0;  // record lines handed over, in all months
  std::uint64_t month_records = 0;
  std::unique_ptr<Hasher> hasher;  // when auditing
  std::string cannot_read;         // the current month's reason, when auditing
  std::uint64_t all_matches = 0;
  std::string file_name;      // of the current month

  // A record kept as the possible context of a later match.
  struct KeptRecord {
    std::string line;   // its text
    std::size_t coded;  // where its coded message starts in line
    std::string file;   // the month log it is from
  };
  // What is known of a conference's conversation.
  struct Conversation {
    // Its last records not printed, at most context, oldest at first: a ring
    // whose strings keep their memory, so keeping a record allocates nothing
    // once the ring is full.
    std::vector<KeptRecord> ring;
    std::size_t first = 0;
    std::size_t kept = 0;
    int after = 0;                // records still to print after a match
    std::uint64_t last_seen = 0;  // the count of records at its last one

    KeptRecord& slot_for_next(std::size_t capacity) {
      if (ring.size() < capacity && kept == ring.size()) {
        ++kept;
        return ring.emplace_back();
      }
      if (kept < capacity) return ring[(first + kept++) % ring.size()];
      KeptRecord& oldest = ring[first];
      first = (first + 1) % ring.size();
      return oldest;
    }
  };
  std::unordered_map<std::string, Conversation> conversations;

  explicit Scanner(const ScanTask& task)
      : settings(task.settings),
        output(task.output),
        out(task.output.results),
        writer(task.output.writer),
        visit_every_record(task.settings.context > 0 || task.output.audit != nullptr),
        filter{&prefilter, visit_every_record ? "" : id_needle.c_str(), visit_every_record ? 0 : id_needle.size(),
               !visit_every_record && searches_first(task.loop, task.path) && chunk_needles.usable() ? &chunk_needles
                                                                                                       : nullptr},
        find_records(record_finder(task.loop)) {
    if (find_records == nullptr) throw std::invalid_argument("this build or processor has no such scan loop");
    if (task.output.audit != nullptr) {
      hasher = std::make_unique<Hasher>();
      reader.observe(hasher.get());
    }
  }

  // Decodes the message of a record whose coded text starts at coded and
  // ends at end into message; its length, up to its first NUL.
  std::size_t decode(const char* coded, const char* end) {
    const std::size_t coded_length = static_cast<std::size_t>(end - coded);
    if (message.size() < coded_length / 4 * 3 + 4) message.resize(coded_length / 4 * 3 + 4);
    int decoded = 0;
    decode_message(coded, message.data(), &decoded);
    // The message ends at its first NUL, for matching and printing alike.
    const void* nul = std::memchr(message.data(), '\0', static_cast<std::size_t>(decoded));
    return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - message.data())
               : static_cast<std::size_t>(decoded);
  }

  // Whether the record is one to print; its message is then in message, of
  // the length given. fields are read when the filters need them.
  bool is_match(const RecordLine& r, std::string_view head, RecordFields& fields, bool fields_read,
                std::size_t& length) {
    if (!r.message_may_match) return false;
    // With every record visited, the finder has not looked for the id.
    if (visit_every_record && !id_needle.empty() &&
        !has_whole_id(r.text, r.length, id_needle.c_str(), id_needle.size(), &find_bytes)) {
      return false;
    }
    if (settings.filters_records()) {
      if (!fields_read) fields = read_record_fields(head);
      if (!matcher.fields_match(fields)) return false;
    }
    length = decode(r.coded, r.text + r.length);
    return matcher.message_matches(std::string_view(message.data(), length));
  }

  void count_match() {
    ++matches;
    ++all_matches;
  }

  // Hands a record to the writer. False when the output has failed.
  bool emit(std::string_view head, const char* coded, const char* end, std::size_t length, RecordFields& fields,
            bool fields_read, std::string_view file, bool is_a_match) {
    std::string_view coded_run;
    if (writer_needs_fields) {
      if (!fields_read) fields = read_record_fields(head);
      coded_run = coded_text(coded, end);
    }
    FoundRecord found{head, std::string_view(message.data(), length), coded_run, fields, file};
    found.match = is_a_match;
    if (output.progress) output.progress->before_output();
    writer->record(found);
    return !std::ferror(out);
  }

  // Prints the record when it matches, and with context its conference's
  // records around it. False when the output has failed.
  bool take(const RecordLine& r) override {
    ++records;
    ++month_records;
    const std::string_view head(r.text, static_cast<std::size_t>(r.coded - r.text));
    RecordFields fields;
    std::size_t length = 0;
    if (settings.context == 0) {
      if (!is_match(r, head, fields, false, length)) return true;
      count_match();
      return emit(head, r.coded, r.text + r.length, length, fields, false, file_name, true);
    }
    if (records % kSweepEvery == 0) forget_quiet_conversations();
    fields = read_record_fields(head);
    const bool found = is_match(r, head, fields, true, length);
    if (found) count_match();
    // A record of no conference is in no conversation.
    if (!fields.conf_id.present) {
      return !found || emit(head, r.coded, r.text + r.length, length, fields, true, file_name, true);
    }
    Conversation& talk = conversations[std::string(fields.conf_id.text)];
    talk.last_seen = records;
    if (found) {
      // The records kept before it first; they use the message's buffer, so
      // the match is decoded again after them.
      const bool kept_any = talk.kept != 0;
      for (std::size_t k = 0; k < talk.kept; ++k) {
        const KeptRecord& kept = talk.ring[(talk.first + k) % talk.ring.size()];
        const std::string_view kept_head(kept.line.data(), kept.coded);
        const char* kept_coded = kept.line.data() + kept.coded;
        const char* kept_end = kept.line.data() + kept.line.size();
        RecordFields kept_fields;
        if (!emit(kept_head, kept_coded, kept_end, decode(kept_coded, kept_end), kept_fields, false, kept.file,
                  false)) {
          return false;
        }
      }
      talk.first = talk.kept = 0;
      if (kept_any) length = decode(r.coded, r.text + r.length);
      talk.after = settings.context;
      return emit(head, r.coded, r.text + r.length, length, fields, true, file_name, true);
    }
    if (talk.after > 0) {
      --talk.after;
      return emit(head, r.coded, r.text + r.length, decode(r.coded, r.text + r.length), fields, true, file_name,
                  false);
    }
    KeptRecord& slot = talk.slot_for_next(static_cast<std::size_t>(settings.context));
    slot.line.assign(r.text, r.length);
    slot.coded = head.size();
    slot.file.assign(file_name);
    return true;
  }

  // Drops what is kept for conferences with no record in the last
  // kContextWindow records: memory is bounded by context records for each
  // conference seen in that window.
  void forget_quiet_conversations() {
    for (auto it = conversations.begin(); it != conversations.end();) {
      it = records - it->second.last_seen > kContextWindow ? conversations.erase(it) : std::next(it);
    }
  }

  void tell_cannot_read(const std::string& path, const std::string& reason) {
    cannot_read = reason;
    if (output.progress) output.progress->before_output();
    output.cannot_read(path, reason);
  }

  // False when the output has failed.
  // exists tells whether the log was there.
  bool scan_log(const std::string& path, bool* exists = nullptr) {
    PlatformFile file{};
    std::string reason;
    matches = 0;
    month_records = 0;
    cannot_read.clear();
    file_name = path.substr(path.find_last_of('/') + 1);
    if (exists) *exists = true;
    switch (platform_open_for_reading(path, file, reason)) {
      case OpenStatus::missing:
        if (exists) *exists = false;
        return true;
      case OpenStatus::failed:
        tell_cannot_read(path, reason);
        return true;
      case OpenStatus::opened:
        break;
    }
    bool output_ok = true;
    try {
      reader.start(file, &may_be_record);
      if (output.progress) output.progress->log_started(file_name);
      Chunk chunk;
      while (output_ok && reader.next_chunk(chunk)) {
        output_ok = find_records(chunk, filter, *this);
        if (output.progress) output.progress->advanced(static_cast<std::uint64_t>(chunk.end - chunk.begin), all_matches);
      }
      if (reader.failed()) tell_cannot_read(path, reader.reason());
    } catch (const std::bad_alloc&) {
      // A record line too long for the memory there is: the results so far
      // stand, and the next month is searched.
      tell_cannot_read(path, kLineTooLong);
    }
    platform_close(file);
    return output_ok;
  }
};

}  // namespace

bool scan_one_log(const ScanTask& task, const std::string& path) { return Scanner(task).scan_log(path); }

std::uint64_t log_bytes(const std::string& directory, const Month& start, const Month& end) {
  std::uint64_t total = 0;
  for_each_month(start, end, [&](int year, int month) {
    std::uint64_t size = 0;
    if (platform_path_size(month_log_path(directory, year, month), size)) total += size;
    return true;
  });
  return total;
}

bool scan_event_logs(const ScanTask& task) {
  Scanner scanner(task);
  scanner.writer->start();
  const bool walked = for_each_month(task.settings.start, task.settings.end, [&](int year, int month) {
    bool exists = false;
    const bool written = scanner.scan_log(month_log_path(task.directory, year, month), &exists);
    scanner.writer->month_done({year, month}, exists, scanner.matches);
    if (task.output.audit != nullptr) {
      LogAudit entry;
      entry.name = scanner.file_name;
      entry.exists = exists;
      entry.bytes = scanner.hasher->bytes;
      entry.sha256 = scanner.hasher->hash.hex_digest();
      entry.records = scanner.month_records;
      entry.matches = scanner.matches;
      entry.cannot_read = scanner.cannot_read;
      scanner.hasher->bytes = 0;
      task.output.audit->push_back(entry);
    }
    // A message flushes the results first, which can fail there too.
    return written && !std::ferror(task.output.results);
  });
  if (!walked) return false;
  scanner.writer->finish();
  return !std::ferror(task.output.results);
}
