#include "Loggen_visits.h"

#include <utility>

namespace tw::loggen {
namespace {

// Stream purposes for StreamSeed.
constexpr std::uint64_t kHumanStream = 10;
constexpr std::uint64_t kVisitorStream = 11;
constexpr std::uint64_t kRobotStream = 12;

// Pages a person opens in one visit.
constexpr Band kPageViews[] = {{1, 1, 44}, {2, 2, 18}, {3, 3, 11}, {4, 6, 15}, {7, 15, 9}, {16, 40, 3}};
// Seconds spent reading a page before the next one.
constexpr Band kReadingTime[] = {{3, 10, 20}, {11, 30, 30}, {31, 90, 30}, {91, 300, 15}, {301, 900, 5}};
// Requests of one crawler visit, and the pause between them.
constexpr Band kCrawlLength[] = {{1, 1, 30}, {2, 5, 35}, {6, 20, 25}, {21, 60, 10}};
constexpr Band kCrawlPause[] = {{1, 5, 40}, {6, 30, 40}, {31, 180, 20}};
constexpr Band kScanLength[] = {{1, 3, 40}, {4, 12, 40}, {13, 30, 20}};

bool LooksLikePage(const std::string& path) {
  return path.back() == '/' || path.find(".html") != std::string::npos || path.find(".php") != std::string::npos;
}

std::int32_t ErrorBytes(std::int32_t status, const std::string& path) {
  switch (status) {
    case 301: return static_cast<std::int32_t>(234 + path.size());
    case 403: return static_cast<std::int32_t>(199 + path.size());
    case 404: return LooksLikePage(path) ? 8512 : static_cast<std::int32_t>(196 + path.size());
    default: return 531;  // 500
  }
}

}  // namespace

VisitPlanner::VisitPlanner(const PlannerSettings& settings, const SiteModel& site, const AgentPool& agents,
                           const ReferrerMaker& referrers)
    : settings_(settings),
      site_(site),
      agents_(agents),
      referrers_(referrers),
      regulars_(WeightedTable::Zipf(settings.visitor_count, 2)) {}

void VisitPlanner::AddRequest(VisitPlan& plan, std::int32_t delay, const char* method, std::string path,
                              std::int32_t status, std::int32_t bytes, std::string referrer) const {
  PlannedRequest r;
  r.delay = delay;
  r.method = method;
  r.path = std::move(path);
  r.status = status;
  r.bytes = bytes;
  r.referrer = std::move(referrer);
  plan.requests.push_back(std::move(r));
}

std::int32_t VisitPlanner::Fetch(VisitPlan& plan, Rng& rng, std::int32_t delay, const char* method,
                                 std::uint32_t resource, const std::string& referrer, bool revalidate) const {
  const Resource& r = site_.Get(resource);
  std::int32_t status = 200;
  std::int32_t bytes = r.size;
  switch (r.kind) {
    case ResourceKind::kRedirect: status = 301; break;
    case ResourceKind::kMissing: status = 404; break;
    case ResourceKind::kForbidden: status = 403; break;
    default:
      if (revalidate) {
        status = 304;
      } else if (r.dynamic) {
        const int spread = r.size / 25;
        bytes = r.size - spread + rng.Range(0, 2 * spread);
        if (rng.PerMille(3)) status = 500;
      }
  }
  if (status != 200) bytes = status == 304 ? -1 : ErrorBytes(status, r.path);
  if (std::string_view(method) == "HEAD") bytes = -1;
  AddRequest(plan, delay, method, r.path, status, bytes, referrer);
  return status;
}

void VisitPlanner::ViewPage(VisitPlan& plan, Rng& rng, std::int32_t delay, const char* method, std::uint32_t page,
                            const std::string& referrer, bool first_view, bool returning,
                            bool fetches_assets) const {
  const std::int32_t status = Fetch(plan, rng, delay, method, page, referrer, false);
  const Resource& r = site_.Get(page);
  if (status == 301) {  // the browser follows the redirect at once
    ViewPage(plan, rng, 0, "GET", r.target, referrer, first_view, returning, fetches_assets);
    return;
  }
  if (!fetches_assets || (status != 200 && status != 404)) return;
  const std::string here = referrers_.Own(r.path);
  if (first_view || rng.PerMille(25)) {
    for (std::uint32_t asset : site_.LayoutAssets()) {
      const std::uint64_t cache = rng.Below(10);
      const bool cached = returning || !first_view;
      if (cached && cache >= 6) continue;  // still fresh in the cache: no request at all
      Fetch(plan, rng, rng.Range(0, 1), "GET", asset, here, cached);
    }
    if (first_view && rng.Percent(35)) Fetch(plan, rng, rng.Range(0, 2), "GET", site_.Favicon(), here, returning);
    if (first_view && plan.agent.find("iPhone") != std::string::npos && rng.Percent(40)) {
      for (const char* icon : {"/apple-touch-icon-precomposed.png", "/apple-touch-icon.png"}) {
        AddRequest(plan, 0, "GET", icon, 404, ErrorBytes(404, icon), "-");
      }
    }
  }
  const bool seen_before = returning && rng.Percent(50);
  for (std::uint32_t image : r.images) {
    if (seen_before && rng.Percent(40)) continue;
    Fetch(plan, rng, rng.Range(0, 2), "GET", image, here, seen_before);
  }
}

VisitPlan VisitPlanner::Human(std::uint64_t index) const {
  Rng rng(StreamSeed(settings_.seed, kHumanStream, index));
  VisitPlan plan;
  const bool regular = rng.Percent(55);
  const std::uint64_t visitor = regular ? regulars_.Pick(rng) : rng.Below(settings_.visitor_count);
  Rng person(StreamSeed(settings_.seed, kVisitorStream, visitor));
  plan.ipv6 = person.Percent(settings_.ipv6_percent);
  plan.address = AgentPool::ClientAddress(person, plan.ipv6);
  plan.agent = agents_.PickBrowser(person);
  plan.protocol = person.Percent(30) ? "HTTP/2.0" : "HTTP/1.1";
  const bool fetches_assets = !person.PerMille(40);
  const bool returning = rng.Percent(visitor < settings_.visitor_count / 20 ? 70 : 25);

  // Where the visit comes from, and the first page.
  static constexpr Band kEntry[] = {{0, 0, 34}, {1, 1, 34}, {2, 2, 16}, {3, 3, 4}, {4, 4, 8}};
  std::uint32_t page = site_.Home();
  std::string referrer = "-";
  switch (PickBand(rng, kEntry)) {
    case 0:
      if (rng.Percent(45)) page = site_.PickPage(rng);
      break;
    case 1:
      page = site_.PickLanding(rng);
      referrer = referrers_.Search(rng, page);
      break;
    case 2:
      if (rng.Percent(60)) page = site_.PickPage(rng);
      referrer = referrers_.OtherSite(rng);
      break;
    case 3:
      if (rng.Percent(30)) page = site_.PickPage(rng);
      referrer = referrers_.Catalogue(rng);
      break;
    default: {
      page = site_.PickPage(rng);
      const std::uint32_t from = site_.PickPage(rng);
      referrer = referrers_.Own(site_.Get(from).path);
    }
  }
  const int old_link = rng.Range(0, 99);  // links elsewhere that point at old addresses
  if (old_link < 3) {
    page = site_.PickRedirect(rng);
  } else if (old_link < 5) {
    page = site_.PickMissing(rng);
  }

  const int views = PickBand(rng, kPageViews);
  std::string current;  // path of the page the person is on
  for (int v = 0; v < views; ++v) {
    const std::int32_t delay = v == 0 ? 0 : PickBand(rng, kReadingTime);
    if (v > 0) {
      referrer = rng.Percent(93) ? referrers_.Own(current) : "-";
      const int choice = rng.Range(0, 99);
      if (choice < 8) {  // the shop's own search
        const std::string phrase = site_.OwnSearchPhrase(rng);
        std::string path = "/search.php?q=" + EncodeQueryValue(phrase);
        if (rng.Percent(15)) path += "&page=2";
        const int bytes = rng.Range(18000, 42000);
        AddRequest(plan, delay, "GET", path, 200, bytes, referrer);
        const std::string here = referrers_.Own(path);
        for (int k = 0, n = fetches_assets ? 3 : 0; k < n; ++k) {
          const std::uint32_t image = site_.PickImage(rng);
          Fetch(plan, rng, rng.Range(0, 2), "GET", image, here, false);
        }
        current = path;
        continue;
      }
      if (choice < 11) {  // into the cart, and sometimes on to an order
        const int product = rng.Range(100, 1700);
        AddRequest(plan, delay, "POST", "/cart.php?action=add&id=" + std::to_string(product), 302, -1, referrer);
        ViewPage(plan, rng, 1, "GET", site_.Cart(), referrer, false, returning, fetches_assets);
        current = site_.Get(site_.Cart()).path;
        if (rng.Percent(30)) {
          const std::string cart = referrers_.Own(current);
          const int think = rng.Range(20, 120);
          AddRequest(plan, think, "GET", "/order.php?step=1", 200, rng.Range(16000, 20000), cart);
          const std::string step1 = referrers_.Own("/order.php?step=1");
          const int typing = rng.Range(40, 300);
          AddRequest(plan, typing, "POST", "/order.php?step=2", 200, rng.Range(17000, 21000), step1);
          const std::string step2 = referrers_.Own("/order.php?step=2");
          const int confirm = rng.Range(10, 90);
          AddRequest(plan, confirm, "POST", "/order.php?step=3", 302, -1, step2);
          AddRequest(plan, 1, "GET", "/order.php?done=1", 200, rng.Range(9000, 11000), step2);
          current = "/order.php?done=1";
        }
        continue;
      }
      if (choice < 12) {  // signing in
        ViewPage(plan, rng, delay, "GET", site_.Login(), referrer, false, returning, fetches_assets);
        const std::string login = referrers_.Own(site_.Get(site_.Login()).path);
        const int typing = rng.Range(8, 40);
        AddRequest(plan, typing, "POST", site_.Get(site_.Login()).path, 302, -1, login);
        page = site_.Home();
        ViewPage(plan, rng, 1, "GET", page, login, false, returning, fetches_assets);
        current = site_.Get(page).path;
        continue;
      }
      if (choice < 13) {
        page = site_.PickMissing(rng);  // a broken link on the site itself
      } else {
        page = site_.PickPage(rng);
      }
    }
    ViewPage(plan, rng, delay, "GET", page, referrer, v == 0, returning, fetches_assets);
    const Resource& r = site_.Get(page);
    current = r.kind == ResourceKind::kRedirect ? site_.Get(r.target).path : r.path;
  }
  return plan;
}

VisitPlan VisitPlanner::Robot(std::uint64_t index) const {
  Rng rng(StreamSeed(settings_.seed, kRobotStream, index));
  VisitPlan plan;
  plan.robot = true;
  static constexpr Band kKinds[] = {{0, 0, 84}, {1, 1, 7}, {2, 2, 9}};
  switch (PickBand(rng, kKinds)) {
    case 0: Crawl(plan, rng); break;
    case 1: Tool(plan, rng); break;
    default: Scan(plan, rng);
  }
  return plan;
}

void VisitPlanner::Crawl(VisitPlan& plan, Rng& rng) const {
  const Crawler& crawler = agents_.PickCrawler(rng);
  plan.crawler = true;
  plan.agent = crawler.user_agent;
  plan.address = AgentPool::CrawlerAddress(rng, crawler);
  if (rng.Percent(5)) plan.protocol = "HTTP/1.0";
  if (!crawler.images_only && rng.Percent(25)) Fetch(plan, rng, 0, "GET", site_.Robots(), "-", false);
  for (int k = 0, n = PickBand(rng, kCrawlLength); k < n; ++k) {
    const std::int32_t delay = plan.requests.empty() ? 0 : PickBand(rng, kCrawlPause);
    const char* method = rng.PerMille(5) ? "HEAD" : "GET";
    if (crawler.images_only) {
      const std::uint32_t image = site_.PickImage(rng);
      const bool revalidate = rng.Percent(15);
      Fetch(plan, rng, delay, method, image, "-", revalidate);
      continue;
    }
    const int choice = rng.Range(0, 99);
    std::uint32_t target;
    if (choice < 80) {
      target = site_.PickAnyPage(rng);
    } else if (choice < 86) {
      target = site_.PickPage(rng);
    } else if (choice < 90) {
      target = site_.PickRedirect(rng);
    } else if (choice < 94) {
      target = site_.PickMissing(rng);
    } else if (choice < 96) {
      target = site_.Sitemap();
    } else {
      target = site_.PickImage(rng);
    }
    const bool revalidate = crawler.conditional && rng.Percent(20);
    Fetch(plan, rng, delay, method, target, "-", revalidate);
  }
}

void VisitPlanner::Tool(VisitPlan& plan, Rng& rng) const {
  plan.agent = agents_.PickTool(rng);
  plan.address = rng.Percent(50) ? AgentPool::ClientAddress(rng, false) : AgentPool::AnyAddress(rng);
  for (int k = 0, n = rng.Range(1, 4); k < n; ++k) {
    const int delay = k == 0 ? 0 : rng.Range(0, 5);
    const char* method = rng.Percent(50) ? "HEAD" : "GET";
    const int choice = rng.Range(0, 99);
    std::uint32_t target = site_.Home();
    if (choice >= 60 && choice < 70) {
      target = site_.Sitemap();
    } else if (choice >= 70 && choice < 80) {
      target = site_.PickMissing(rng);
    } else if (choice >= 80) {
      target = site_.PickPage(rng);
    }
    Fetch(plan, rng, delay, method, target, "-", false);
  }
}

void VisitPlanner::Scan(VisitPlan& plan, Rng& rng) const {
  plan.agent = agents_.PickScanner(rng);
  plan.address = AgentPool::AnyAddress(rng);
  if (rng.Percent(30)) plan.protocol = "HTTP/1.0";
  for (int k = 0, n = PickBand(rng, kScanLength); k < n; ++k) {
    const int delay = k == 0 ? 0 : rng.Range(0, 2);
    const std::uint32_t target = rng.Percent(90) ? site_.PickProbe(rng) : site_.Home();
    const char* method = site_.Get(target).path == "/xmlrpc.php" && rng.Percent(50) ? "POST" : "GET";
    Fetch(plan, rng, delay, method, target, "-", false);
  }
}

}  // namespace tw::loggen
