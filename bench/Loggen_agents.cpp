#include "Loggen_agents.h"

#include <cstdarg>
#include <cstdio>
#include <set>

namespace tw::loggen {
namespace {

const char* const kAndroidModels[] = {
    "SM-A515F", "SM-A525F", "SM-A536B", "SM-A546E", "SM-G991B", "SM-S911B", "SM-S918B", "SM-A336B", "SM-A135F",
    "SM-M315F", "Redmi Note 8 Pro", "Redmi Note 9 Pro", "M2101K6G", "2201117TY", "23021RAA2Y", "22101316UG",
    "M2007J20CG", "CPH2269", "CPH2477", "RMX3085", "RMX3710", "V2111", "TECNO KG5m", "TECNO CK7n", "Infinix X6816",
    "Pixel 7", "Pixel 8 Pro", "MAR-LX1M", "JNY-LX1", "ANE-LX1", "NTH-NX9", "CRT-LX1", "moto g54 5G", "Nokia G21",
    "POCO X5 Pro 5G", "2311DRK48G"};

const char* const kDesktopSystems[] = {"Windows NT 10.0; Win64; x64", "Windows NT 10.0; Win64; x64",
                                       "Windows NT 10.0; Win64; x64", "Windows NT 10.0; Win64; x64",
                                       "Macintosh; Intel Mac OS X 10_15_7", "X11; Linux x86_64"};

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char buf[512];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  return std::string(buf, n < 0 ? 0 : static_cast<std::size_t>(n));
}

// Every draw gets its own statement: the order in which a call's arguments
// are evaluated differs between compilers, and the log must not.

// "122.0.6261.129" or, as newer browsers send it, "122.0.0.0".
std::string ChromeVersion(Rng& rng, int major, bool reduced) {
  if (reduced) return Format("%d.0.0.0", major);
  const int build = 5000 + (major - 100) * 60 + rng.Range(0, 55);
  const int patch = rng.Range(0, 260);
  return Format("%d.0.%d.%d", major, build, patch);
}

std::string MakeBrowser(Rng& rng) {
  static const Band kFamilies[] = {{0, 0, 30}, {1, 1, 18}, {2, 2, 13}, {3, 3, 12}, {4, 4, 5}, {5, 5, 5},
                                   {6, 6, 3},  {7, 7, 3},  {8, 8, 3},  {9, 9, 3},  {10, 10, 2}, {11, 11, 1}};
  const int major = rng.Range(109, 134);
  const char* android_model = rng.Pick(kAndroidModels);
  const int android = rng.Range(10, 15);
  switch (PickBand(rng, kFamilies)) {
    case 0: {  // Chrome on a desktop
      const char* os = rng.Pick(kDesktopSystems);
      const bool reduced = rng.Percent(90);  // Chrome 101 and later send X.0.0.0
      return Format("Mozilla/5.0 (%s) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/%s Safari/537.36", os,
                    ChromeVersion(rng, major, reduced).c_str());
    }
    case 1:  // Chrome on Android
      if (rng.Percent(85)) {
        return Format("Mozilla/5.0 (Linux; Android 10; K) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/%d.0.0.0 "
                      "Mobile Safari/537.36", major);
      }
      return Format("Mozilla/5.0 (Linux; Android %d; %s) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/%s Mobile "
                    "Safari/537.36", android, android_model, ChromeVersion(rng, major, false).c_str());
    case 2: {  // Yandex Browser, desktop or phone
      const int year = rng.Range(23, 25), month = rng.Range(1, 12), minor = rng.Range(0, 5);
      const int build = rng.Range(100, 1300);
      const std::string ya = Format("%d.%d.%d.%d", year, month, minor, build);
      if (rng.Percent(60)) {
        return Format("Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
                      "Chrome/%d.0.0.0 YaBrowser/%s Yowser/2.5 Safari/537.36", major, ya.c_str());
      }
      return Format("Mozilla/5.0 (Linux; arm_64; Android %d; %s) AppleWebKit/537.36 (KHTML, like Gecko) "
                    "Chrome/%d.0.0.0 YaBrowser/%s.00 SA/3 Mobile Safari/537.36", android, android_model, major,
                    ya.c_str());
    }
    case 3: {  // Safari on an iPhone
      const int ios = rng.Range(15, 18), minor = rng.Range(0, 7), patch = rng.Range(0, 2);
      const std::string os = patch ? Format("%d_%d_%d", ios, minor, patch) : Format("%d_%d", ios, minor);
      const std::string ver = patch ? Format("%d.%d.%d", ios, minor, patch) : Format("%d.%d", ios, minor);
      return Format("Mozilla/5.0 (iPhone; CPU iPhone OS %s like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) "
                    "Version/%s Mobile/15E148 Safari/604.1", os.c_str(), ver.c_str());
    }
    case 4: {  // Firefox
      static const char* const kSystems[] = {"Windows NT 10.0; Win64; x64", "X11; Ubuntu; Linux x86_64",
                                             "X11; Linux x86_64", "Macintosh; Intel Mac OS X 10.15",
                                             "Windows NT 6.1; Win64; x64"};
      const int v = rng.Range(115, 135);
      return Format("Mozilla/5.0 (%s; rv:%d.0) Gecko/20100101 Firefox/%d.0", rng.Pick(kSystems), v, v);
    }
    case 5:  // Edge
      return Format("Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
                    "Chrome/%d.0.0.0 Safari/537.36 Edg/%s", major, ChromeVersion(rng, major, false).c_str());
    case 6: {  // Opera
      const int build = rng.Range(0, 5000), patch = rng.Range(0, 200);
      return Format("Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
                    "Chrome/%d.0.0.0 Safari/537.36 OPR/%d.0.%d.%d", major, major - 14, build, patch);
    }
    case 7: {  // Safari on a Mac
      const int version = rng.Range(15, 18), minor = rng.Range(0, 6);
      return Format("Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/605.1.15 (KHTML, like Gecko) "
                    "Version/%d.%d Safari/605.1.15", version, minor);
    }
    case 8: {  // Samsung Internet
      const char* model = kAndroidModels[rng.Below(10)];
      const int version = rng.Range(20, 27);
      return Format("Mozilla/5.0 (Linux; Android %d; SAMSUNG %s) AppleWebKit/537.36 (KHTML, like Gecko) "
                    "SamsungBrowser/%d.0 Chrome/%d.0.0.0 Mobile Safari/537.36", android, model, version, major);
    }
    case 9: {  // an app's web view
      const char a = "TSUQ"[rng.Below(4)], b = "PKQ"[rng.Below(3)], c = "123"[rng.Below(3)];
      const int d = rng.Range(1, 3), date = rng.Range(200101, 241231), n = rng.Range(1, 99);
      const std::string chrome = ChromeVersion(rng, major, false);
      return Format("Mozilla/5.0 (Linux; Android %d; %s Build/%c%c%c%d.%06d.%03d; wv) AppleWebKit/537.36 (KHTML, "
                    "like Gecko) Version/4.0 Chrome/%s Mobile Safari/537.36", android, android_model, a, b, c, d,
                    date, n, chrome.c_str());
    }
    case 10: {  // Chrome on an iPhone
      const int ios = rng.Range(16, 18), minor = rng.Range(0, 6);
      const std::string chrome = ChromeVersion(rng, major, false);
      return Format("Mozilla/5.0 (iPhone; CPU iPhone OS %d_%d like Mac OS X) AppleWebKit/605.1.15 (KHTML, like "
                    "Gecko) CriOS/%s Mobile/15E148 Safari/604.1", ios, minor, chrome.c_str());
    }
    default: {  // browsers of an older time
      static const char* const kOld[] = {
          "Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 5.1; Trident/4.0; .NET CLR 2.0.50727; .NET CLR 3.0.4506.2152)",
          "Mozilla/5.0 (compatible; MSIE 10.0; Windows NT 6.1; Trident/6.0)",
          "Mozilla/5.0 (Windows NT 6.1; WOW64; Trident/7.0; rv:11.0) like Gecko",
          "Opera/9.80 (Windows NT 6.1; U; ru) Presto/2.12.388 Version/12.18",
          "Mozilla/5.0 (Windows NT 6.1; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/109.0.0.0 Safari/537.36",
          "Mozilla/5.0 (Windows NT 6.3; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/109.0.5414.120 Safari/537.36",
      };
      return rng.Pick(kOld);
    }
  }
}

}  // namespace

const std::vector<Crawler>& AgentPool::Crawlers() {
  static const std::vector<Crawler> crawlers = {
      {"Mozilla/5.0 (compatible; YandexBot/3.0; +http://yandex.com/bots)",
       {"5.255.253.", "5.255.231.", "77.88.5.", "87.250.224.", "95.108.213.", "213.180.203.", "141.8.142."}, 22, false,
       true},
      {"Mozilla/5.0 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)",
       {"66.249.64.", "66.249.66.", "66.249.68.", "66.249.70.", "66.249.72.", "66.249.79."}, 13, false, true},
      {"Mozilla/5.0 (Linux; Android 6.0.1; Nexus 5X Build/MMB29P) AppleWebKit/537.36 (KHTML, like Gecko) "
       "Chrome/131.0.6778.204 Mobile Safari/537.36 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)",
       {"66.249.66.", "66.249.68.", "66.249.73."}, 11, false, true},
      {"Mozilla/5.0 (compatible; bingbot/2.0; +http://www.bing.com/bingbot.htm)",
       {"157.55.39.", "207.46.13.", "40.77.167.", "52.167.144."}, 9, false, false},
      {"Mozilla/5.0 (compatible; YandexImages/3.0; +http://yandex.com/bots)", {"5.255.253.", "95.108.213."}, 4, true,
       false},
      {"Mozilla/5.0 (iPhone; CPU iPhone OS 8_1 like Mac OS X) AppleWebKit/600.1.4 (KHTML, like Gecko) "
       "Version/8.0 Mobile/12B411 Safari/600.1.4 (compatible; YandexMobileBot/3.0; +http://yandex.com/bots)",
       {"5.255.231.", "213.180.203."}, 4, false, false},
      {"Googlebot-Image/1.0", {"66.249.64.", "66.249.66."}, 3, true, false},
      {"Mozilla/5.0 (compatible; Linux x86_64; Mail.RU_Bot/2.0; +https://help.mail.ru/webmaster/indexing/robots)",
       {"217.69.133.", "217.69.134.", "95.163.255."}, 5, false, false},
      {"Mozilla/5.0 (compatible; AhrefsBot/7.0; +http://ahrefs.com/robot/)",
       {"54.36.148.", "54.36.149.", "51.222.253.", "5.39.1."}, 7, false, false},
      {"Mozilla/5.0 (compatible; SemrushBot/7~bl; +http://www.semrush.com/bot.html)",
       {"185.191.171.", "85.208.96.", "85.208.98."}, 6, false, false},
      {"Mozilla/5.0 (compatible; MJ12bot/v1.4.8; http://mj12bot.com/)", {}, 3, false, false},
      {"Mozilla/5.0 (compatible; DotBot/1.2; +https://opensiteexplorer.org/dotbot; help@moz.com)", {"216.244.66."}, 2,
       false, false},
      {"Mozilla/5.0 (compatible; Baiduspider/2.0; +http://www.baidu.com/search/spider.html)",
       {"180.76.15.", "220.181.108."}, 2, false, false},
      {"Mozilla/5.0 (Linux; Android 7.0;) AppleWebKit/537.36 (KHTML, like Gecko) Mobile Safari/537.36 (compatible; "
       "PetalBot;+https://webmaster.petalsearch.com/site/petalbot)",
       {"114.119.128.", "114.119.140."}, 2, false, false},
      {"Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko; compatible; GPTBot/1.2; +https://openai.com/gptbot)",
       {"20.171.207."}, 2, false, false},
      {"Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_5) AppleWebKit/605.1.15 (KHTML, like Gecko) Version/13.1.1 "
       "Safari/605.1.15 (Applebot/0.1; +http://www.apple.com/go/applebot)",
       {"17.241.219.", "17.22.237."}, 1, false, false},
      {"DuckDuckBot/1.1; (+http://duckduckgo.com/duckduckbot.html)", {"20.191.45."}, 1, false, false},
      {"facebookexternalhit/1.1 (+http://www.facebook.com/externalhit_uatext.php)", {"69.171.249.", "173.252.83."}, 1,
       false, false},
  };
  return crawlers;
}

AgentPool::AgentPool(std::uint64_t seed, std::size_t browser_count) {
  Rng rng(StreamSeed(seed, 2, 0));
  std::set<std::string> seen;
  for (std::size_t attempt = 0; browsers_.size() < browser_count && attempt < browser_count * 20; ++attempt) {
    std::string ua = MakeBrowser(rng);
    if (seen.insert(ua).second) browsers_.push_back(std::move(ua));
  }
  browser_popularity_ = WeightedTable::Zipf(browsers_.size(), 20);
  std::vector<std::uint64_t> weights;
  for (const Crawler& c : Crawlers()) weights.push_back(c.weight);
  crawler_weights_ = WeightedTable(weights);
}

const Crawler& AgentPool::PickCrawler(Rng& rng) const { return Crawlers()[crawler_weights_.Pick(rng)]; }

const char* AgentPool::PickTool(Rng& rng) const {
  static const char* const kTools[] = {
      "curl/8.5.0", "curl/7.88.1", "Wget/1.21.4", "Apache-HttpClient/4.5.14 (Java/17.0.9)", "okhttp/4.12.0",
      "Python-urllib/3.11", "python-requests/2.31.0", "Go-http-client/1.1",
      "Mozilla/5.0 (compatible; UptimeRobot/2.0; http://www.uptimerobot.com/)",
      "Feedly/1.0 (+http://www.feedly.com/fetcher.html; 3 subscribers; like FeedFetcher-Google)"};
  return rng.Pick(kTools);
}

const char* AgentPool::PickScanner(Rng& rng) const {
  // Apache writes a quote inside a header as \" ; the last agent shows it.
  static const char* const kScanners[] = {
      "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/81.0.4044.129 Safari/537.36",
      "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/60.0.3112.113 Safari/537.36",
      "python-requests/2.28.1", "Go-http-client/1.1", "Mozilla/5.0 zgrab/0.x", "-",
      "Mozilla/5.0 (compatible; CensysInspect/1.1; +https://about.censys.io/)",
      "\\\"Mozilla/5.0 (Windows NT 6.1; rv:60.0) Gecko/20100101 Firefox/60.0\\\""};
  return rng.Pick(kScanners);
}

std::string AgentPool::ClientAddress(Rng& rng, bool ipv6) {
  if (ipv6) {
    static const char* const kPrefixes[] = {"2a00:1370:", "2a02:2698:", "2a03:d000:", "2a00:1fa0:", "2a01:540:",
                                            "2a02:a18:", "2a00:f940:", "2a02:2168:"};
    std::string out = rng.Pick(kPrefixes);
    for (int k = 0; k < 6; ++k) {
      char group[8];
      std::snprintf(group, sizeof group, k ? ":%x" : "%x", static_cast<unsigned>(rng.Below(0x10000)));
      out += group;
    }
    return out;
  }
  static const char* const kNetworks[] = {
      "95.24.", "95.25.", "95.26.", "95.27.", "95.28.", "95.29.", "178.176.", "178.177.", "176.59.", "176.15.",
      "188.162.", "188.170.", "93.80.", "93.81.", "46.242.", "46.138.", "5.18.", "5.228.", "217.66.", "37.110.",
      "37.147.", "91.77.", "91.79.", "109.252.", "109.173.", "185.15.", "212.46.", "213.87.", "77.34.", "79.139.",
      "85.140.", "89.178.", "94.25.", "2.92.", "31.173.", "83.149.", "92.100.", "128.71.", "194.186.", "31.13."};
  if (rng.Percent(12)) return AnyAddress(rng);
  const char* network = rng.Pick(kNetworks);
  const int c = rng.Range(0, 255), d = rng.Range(1, 254);
  return std::string(network) + std::to_string(c) + "." + std::to_string(d);
}

std::string AgentPool::CrawlerAddress(Rng& rng, const Crawler& crawler) {
  if (crawler.networks.empty()) return AnyAddress(rng);
  const char* network = rng.Pick(crawler.networks);
  return std::string(network) + std::to_string(rng.Range(1, 254));
}

std::string AgentPool::AnyAddress(Rng& rng) {
  int first;
  do {
    first = rng.Range(1, 223);
  } while (first == 10 || first == 127 || first == 100 || first == 169 || first == 172 || first == 192);
  const int b = rng.Range(0, 255), c = rng.Range(0, 255), d = rng.Range(1, 254);
  return std::to_string(first) + "." + std::to_string(b) + "." + std::to_string(c) + "." + std::to_string(d);
}

}  // namespace tw::loggen
