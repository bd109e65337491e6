#include "Loggen.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include "Loggen_agents.h"
#include "Loggen_calendar.h"
#include "Loggen_random.h"
#include "Loggen_referrers.h"
#include "Loggen_site.h"
#include "Loggen_visits.h"

namespace tw::loggen {
namespace {

constexpr std::uint64_t kTimelineStream = 20;
constexpr std::uint64_t kDamageStream = 21;

// People by hour of the day and by day of the week (Sunday first).
constexpr std::uint64_t kHourWeights[24] = {35, 22, 15, 10, 8,  8,  12, 22, 40, 60, 75, 85,
                                            90, 92, 90, 88, 85, 80, 78, 82, 88, 85, 70, 50};
constexpr std::uint64_t kWeekdayWeights[7] = {78, 100, 102, 100, 98, 90, 72};

// Start times of the visits of one kind: visit i of n starts at the point
// where i/n of the day-and-hour weight of the period lies behind it, so
// start times rise with i and follow the weights.
class Timeline {
 public:
  Timeline(std::int64_t first_second, std::vector<std::uint64_t> hour_weights, std::uint64_t visits,
           std::uint64_t seed)
      : first_second_(first_second), weights_(std::move(hour_weights)), visits_(visits), rng_(seed) {
    // Weights count per second, so that even a flat profile spreads starts
    // over the whole hour.
    std::uint64_t sum = 0;
    for (std::uint64_t& w : weights_) cumulative_.push_back(sum += (w *= 3600));
  }

  // REQUIRES: called with i = 0, 1, 2, ... below the visit count.
  std::int64_t Start(std::uint64_t i) {
    const std::uint64_t total = cumulative_.back();
    const std::uint64_t jitter = rng_.Below(total);
    const auto pos = static_cast<std::uint64_t>((static_cast<unsigned __int128>(i) * total + jitter) / visits_);
    const std::size_t hour =
        static_cast<std::size_t>(std::upper_bound(cumulative_.begin(), cumulative_.end(), pos) - cumulative_.begin());
    const std::uint64_t before = hour == 0 ? 0 : cumulative_[hour - 1];
    const auto offset = static_cast<std::int64_t>((pos - before) * 3600 / weights_[hour]);
    return first_second_ + static_cast<std::int64_t>(hour) * 3600 + offset;
  }

 private:
  std::int64_t first_second_;
  std::vector<std::uint64_t> weights_;
  std::vector<std::uint64_t> cumulative_;
  std::uint64_t visits_;
  Rng rng_;
};

struct ActiveVisit {
  std::int64_t time;    // of the next request
  std::uint64_t order;  // visits that started earlier go first at equal times
  VisitPlan plan;
  std::size_t next = 0;
};

bool Later(const std::unique_ptr<ActiveVisit>& a, const std::unique_ptr<ActiveVisit>& b) {
  return a->time != b->time ? a->time > b->time : a->order > b->order;
}

// Kinds of damage and how often each occurs.
enum Damage { kCommonFormat, kCutShort, kGarbage, kEmpty, kTimeout, kTlsProbe };
constexpr Band kDamage[] = {{kCommonFormat, kCommonFormat, 20}, {kCutShort, kCutShort, 25},
                            {kGarbage, kGarbage, 15},           {kEmpty, kEmpty, 10},
                            {kTimeout, kTimeout, 15},           {kTlsProbe, kTlsProbe, 15}};

}  // namespace

std::string CheckOptions(const LoggenOptions& o) {
  if (o.lines == 0) return "the number of lines must be at least 1";
  if (o.start_month < 1 || o.start_month > 12) return "the month must be 1 to 12";
  if (o.start_year < 1971 || o.start_year > 2032) return "the year must be 1971 to 2032";
  if (o.month_span < 1 || o.month_span > 120) return "the month span must be 1 to 120";
  if (o.lead_in_hours < 0 || o.lead_in_hours > 24) return "the lead-in must be 0 to 24 hours";
  for (int p : {o.robot_percent, o.ipv6_percent, o.https_referrer_percent}) {
    if (p < 0 || p > 100) return "a percentage must be 0 to 100";
  }
  if (o.malformed_per_100000 < 0 || o.malformed_per_100000 > 100000) return "the damaged share must be 0 to 100000";
  if (o.site_name.empty() || o.site_name.find_first_of(" \t\"/") != std::string::npos) {
    return "the site name must be a host name";
  }
  if (o.zone.size() != 5 || (o.zone[0] != '+' && o.zone[0] != '-')) return "the zone must look like +0300";
  return "";
}

struct LogGenerator::Impl {
  explicit Impl(const LoggenOptions& o)
      : options(o),
        site(o.seed),
        agents(o.seed, 4000),
        referrers(site, o.site_name, o.https_referrer_percent),
        planner(PlannerSettings{o.seed, std::max<std::uint64_t>(64, o.lines / 40),
                                o.ipv6_percent},
                site, agents, referrers),
        damage(StreamSeed(o.seed, kDamageStream, 0)) {
    // Count the visits the lines need: plans depend on their index alone.
    const std::uint64_t human_lines = o.lines - o.lines * static_cast<std::uint64_t>(o.robot_percent) / 100;
    std::uint64_t planned = 0;
    while (planned < human_lines) planned += planner.Human(human_visits++).requests.size();
    while (planned < o.lines) planned += planner.Robot(robot_visits++).requests.size();

    const std::int64_t first_day = DaysFromCivil({o.start_year, o.start_month, 1});
    const int end_month0 = o.start_month - 1 + o.month_span;
    const std::int64_t end_day = DaysFromCivil({o.start_year + end_month0 / 12, end_month0 % 12 + 1, 1});
    const std::int64_t first_second = first_day * 86400 - static_cast<std::int64_t>(o.lead_in_hours) * 3600;
    std::vector<std::uint64_t> people, robots;
    for (std::int64_t t = first_second; t < end_day * 86400; t += 3600) {
      const std::int64_t day = t / 86400;
      people.push_back(kHourWeights[(t % 86400) / 3600] * kWeekdayWeights[WeekdayFromDays(day)]);
      robots.push_back(1);
    }
    if (human_visits > 0) {
      human_times = std::make_unique<Timeline>(first_second, people, human_visits,
                                               StreamSeed(o.seed, kTimelineStream, 0));
      human_start = human_times->Start(0);
    }
    if (robot_visits > 0) {
      robot_times = std::make_unique<Timeline>(first_second, robots, robot_visits,
                                               StreamSeed(o.seed, kTimelineStream, 1));
      robot_start = robot_times->Start(0);
    }
  }

  void StartVisit(VisitPlan plan, std::int64_t start) {
    if (plan.requests.empty()) return;
    auto v = std::make_unique<ActiveVisit>();
    v->time = start + plan.requests[0].delay;
    v->order = started++;
    v->plan = std::move(plan);
    active.push_back(std::move(v));
    std::push_heap(active.begin(), active.end(), Later);
  }

  // Starts the visits due before the earliest waiting request; false when
  // there is nothing left at all.
  bool StartDueVisits() {
    for (;;) {
      const std::int64_t top = active.empty() ? std::numeric_limits<std::int64_t>::max() : active.front()->time;
      const bool human_due = next_human < human_visits && human_start <= top;
      const bool robot_due = next_robot < robot_visits && robot_start <= top;
      if (human_due && (!robot_due || human_start <= robot_start)) {
        StartVisit(planner.Human(next_human), human_start);
        if (++next_human < human_visits) human_start = human_times->Start(next_human);
      } else if (robot_due) {
        StartVisit(planner.Robot(next_robot), robot_start);
        if (++next_robot < robot_visits) robot_start = robot_times->Start(next_robot);
      } else {
        return !active.empty();
      }
    }
  }

  void Format(const VisitPlan& plan, const PlannedRequest& r, std::int64_t time, std::string& line,
              std::size_t& common_end) const {
    line.clear();
    line += plan.address;
    line += " - - ";
    AppendLogTime(line, time, options.zone.c_str());
    line += " \"";
    line += r.method;
    line += ' ';
    line += r.path;
    line += ' ';
    line += plan.protocol;
    line += "\" ";
    line += std::to_string(r.status);
    line += ' ';
    line += r.bytes < 0 ? std::string("-") : std::to_string(r.bytes);
    common_end = line.size();
    line += " \"";
    line += r.referrer;
    line += "\" \"";
    line += plan.agent;
    line += '"';
  }

  // Damages the line the way real logs get damaged; returns whether it did.
  bool Damage(std::string& line, const VisitPlan& plan, std::int64_t time, std::size_t common_end) {
    if (damage.Below(100000) >= static_cast<std::uint64_t>(options.malformed_per_100000)) return false;
    const int kind = PickBand(damage, kDamage);
    switch (kind) {
      case kCommonFormat:
        line.resize(common_end);
        break;
      case kCutShort:
        line.resize(static_cast<std::size_t>(damage.Range(10, static_cast<int>(line.size()) - 5)));
        break;
      case kGarbage: {
        line.clear();
        for (int k = 0, n = damage.Range(16, 160); k < n; ++k) {
          const bool high = damage.Below(3) == 0;
          const auto c = high ? 0x80 + damage.Below(128) : 0x20 + damage.Below(95);
          line.push_back(static_cast<char>(c));
        }
        break;
      }
      case kEmpty:
        line.clear();
        break;
      case kTimeout:
      case kTlsProbe: {  // Apache writes the bytes of a request it cannot read as \xhh
        std::string head = plan.address + " - - ";
        AppendLogTime(head, time, options.zone.c_str());
        head += kind == kTimeout ? " \"-\" 408 - \"-\" \"-\""
                                 : " \"\\x16\\x03\\x01\\x02\\x00\\x01\\x00\\x01\\xfc\\x03\\x03\" 400 226 \"-\" \"-\"";
        line = std::move(head);
        break;
      }
    }
    return true;
  }

  bool Next(std::string& line) {
    if (stats.lines >= options.lines || !StartDueVisits()) return false;
    std::pop_heap(active.begin(), active.end(), Later);
    std::unique_ptr<ActiveVisit> v = std::move(active.back());
    active.pop_back();
    const PlannedRequest& r = v->plan.requests[v->next];
    std::size_t common_end = 0;
    Format(v->plan, r, v->time, line, common_end);
    ++stats.lines;
    if (v->plan.robot) ++stats.robot_lines;
    if (v->plan.crawler) ++stats.crawler_lines;
    if (v->plan.ipv6) ++stats.ipv6_lines;
    if (Damage(line, v->plan, v->time, common_end)) ++stats.malformed_lines;
    stats.bytes += line.size() + 1;
    if (++v->next < v->plan.requests.size()) {
      v->time += v->plan.requests[v->next].delay;
      active.push_back(std::move(v));
      std::push_heap(active.begin(), active.end(), Later);
    }
    return true;
  }

  LoggenOptions options;
  SiteModel site;
  AgentPool agents;
  ReferrerMaker referrers;
  VisitPlanner planner;
  Rng damage;
  std::uint64_t human_visits = 0, robot_visits = 0;
  std::uint64_t next_human = 0, next_robot = 0;
  std::int64_t human_start = 0, robot_start = 0;
  std::unique_ptr<Timeline> human_times, robot_times;
  std::vector<std::unique_ptr<ActiveVisit>> active;  // a heap, earliest request on top
  std::uint64_t started = 0;
  LoggenStats stats;
};

LogGenerator::LogGenerator(const LoggenOptions& options) : impl_(std::make_unique<Impl>(options)) {}
LogGenerator::~LogGenerator() = default;
bool LogGenerator::Next(std::string& line) { return impl_->Next(line); }
const LoggenStats& LogGenerator::Stats() const { return impl_->stats; }

bool WriteLog(const LoggenOptions& options, std::FILE* out, LoggenStats* stats) {
  LogGenerator generator(options);
  std::string buffer, line;
  constexpr std::size_t kFlushAt = 1 << 20;
  bool ok = true;
  while (ok && generator.Next(line)) {
    buffer += line;
    buffer += '\n';
    if (buffer.size() >= kFlushAt) {
      ok = std::fwrite(buffer.data(), 1, buffer.size(), out) == buffer.size();
      buffer.clear();
    }
  }
  if (ok && !buffer.empty()) ok = std::fwrite(buffer.data(), 1, buffer.size(), out) == buffer.size();
  if (ok) ok = std::fflush(out) == 0;
  if (stats != nullptr) *stats = generator.Stats();
  return ok;
}

}  // namespace tw::loggen
