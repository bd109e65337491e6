#pragma once

// Visits: the requests one client makes in one sitting, planned before the
// first of them is written. A person opens a page, the browser fetches the
// style sheets, scripts and images behind it, and the person moves on through
// the site. A robot fetches robots.txt and then pages at its own pace.

#include <cstdint>
#include <string>
#include <vector>

#include "Loggen_agents.h"
#include "Loggen_random.h"
#include "Loggen_referrers.h"
#include "Loggen_site.h"

namespace tw::loggen {

struct PlannedRequest {
  std::int32_t delay = 0;  // seconds after the visit's previous request
  const char* method = "GET";
  std::string path;
  std::int32_t status = 200;
  std::int32_t bytes = -1;  // -1 is logged as "-"
  std::string referrer;     // "-" when there is none
};

struct VisitPlan {
  std::string address;
  std::string agent;
  const char* protocol = "HTTP/1.1";
  bool robot = false;
  bool crawler = false;  // the agent is one of the known crawlers
  bool ipv6 = false;
  std::vector<PlannedRequest> requests;
};

struct PlannerSettings {
  std::uint64_t seed = 1;
  std::uint64_t visitor_count = 1000;  // distinct people who come, some many times
  int ipv6_percent = 5;                // of the people
};

class VisitPlanner {
 public:
  // The planner keeps references to `site`, `agents` and `referrers`.
  VisitPlanner(const PlannerSettings& settings, const SiteModel& site, const AgentPool& agents,
               const ReferrerMaker& referrers);

  // The plan depends on the settings and the index only.
  VisitPlan Human(std::uint64_t index) const;
  VisitPlan Robot(std::uint64_t index) const;

 private:
  void ViewPage(VisitPlan& plan, Rng& rng, std::int32_t delay, const char* method, std::uint32_t page,
                const std::string& referrer, bool first_view, bool returning, bool fetches_assets) const;
  void AddRequest(VisitPlan& plan, std::int32_t delay, const char* method, std::string path, std::int32_t status,
                  std::int32_t bytes, std::string referrer) const;
  // Fetches `resource`; returns the status.
  std::int32_t Fetch(VisitPlan& plan, Rng& rng, std::int32_t delay, const char* method, std::uint32_t resource,
                     const std::string& referrer, bool revalidate) const;
  void Crawl(VisitPlan& plan, Rng& rng) const;
  void Tool(VisitPlan& plan, Rng& rng) const;
  void Scan(VisitPlan& plan, Rng& rng) const;

  PlannerSettings settings_;
  const SiteModel& site_;
  const AgentPool& agents_;
  const ReferrerMaker& referrers_;
  WeightedTable regulars_;  // which people come back often
};

}  // namespace tw::loggen
