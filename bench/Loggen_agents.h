#pragma once

// Who sends the requests: browsers in thousands of version mixes, the known
// crawlers with the networks they crawl from, download tools and scanners,
// and the client addresses of ordinary visitors.

#include <cstdint>
#include <string>
#include <vector>

#include "Loggen_random.h"

namespace tw::loggen {

struct Crawler {
  const char* user_agent;  // exactly as logged
  std::vector<const char*> networks;  // address prefixes; empty: anywhere
  std::uint64_t weight;    // share of crawler visits
  bool images_only;        // an image crawler
  bool conditional;        // revalidates pages, so it gets 304 answers
};

class AgentPool {
 public:
  // Builds `browser_count` browser user agents from `seed`.
  AgentPool(std::uint64_t seed, std::size_t browser_count);

  // A browser user agent, the common ones more often.
  const std::string& PickBrowser(Rng& rng) const { return browsers_[browser_popularity_.Pick(rng)]; }
  const Crawler& PickCrawler(Rng& rng) const;
  const char* PickTool(Rng& rng) const;
  const char* PickScanner(Rng& rng) const;

  // A visitor's address: IPv4 mostly from Russian access networks, or IPv6.
  static std::string ClientAddress(Rng& rng, bool ipv6);
  // An address from the crawler's own networks.
  static std::string CrawlerAddress(Rng& rng, const Crawler& crawler);
  // Any public IPv4 address.
  static std::string AnyAddress(Rng& rng);

  static const std::vector<Crawler>& Crawlers();

 private:
  std::vector<std::string> browsers_;
  WeightedTable browser_popularity_;
  WeightedTable crawler_weights_;
};

}  // namespace tw::loggen
