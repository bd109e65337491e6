#include "Loggen_site.h"

#include <cstdio>
#include <set>
#include <utility>

#include "base/cp1251.h"

namespace tw::loggen {
namespace {

// A product category: folder, Russian plural and singular, the model lines
// sold in it, and the variants a model comes in.
struct Category {
  const char* slug;
  const char* plural;
  const char* singular;
  std::vector<const char*> lines;
  std::vector<const char*> variants;
  int min_number;
  int max_number;
};

const std::vector<Category>& Categories() {
  static const std::vector<Category> categories = {
      {"smartphones", "смартфоны", "смартфон",
       {"Samsung Galaxy A", "Samsung Galaxy S", "Xiaomi Redmi Note ", "Apple iPhone ", "Honor X", "Realme C",
        "Poco X", "Tecno Spark "},
       {"128GB", "256GB", "8/256GB", "6/128GB", "12/512GB"}, 5, 55},
      {"laptops", "ноутбуки", "ноутбук",
       {"Lenovo IdeaPad Slim ", "ASUS VivoBook ", "HP Pavilion ", "Acer Aspire ", "Huawei MateBook D",
        "MSI Modern ", "Apple MacBook Air M"},
       {"8/512GB", "16/512GB", "16/1TB", "i5 8/256GB"}, 2, 17},
      {"tablets", "планшеты", "планшет",
       {"Samsung Galaxy Tab A", "Apple iPad Air ", "Xiaomi Pad ", "Huawei MatePad ", "Lenovo Tab P"},
       {"64GB", "128GB", "LTE 128GB", "Wi-Fi 256GB"}, 5, 12},
      {"tv", "телевизоры", "телевизор",
       {"Samsung UE", "LG OLED", "Xiaomi Mi TV P", "TCL C", "Hisense A"}, {"43\"", "50\"", "55\"", "65\""},
       40, 90},
      {"headphones", "наушники", "наушники",
       {"Sony WH-1000XM", "Apple AirPods Pro ", "JBL Tune ", "Sennheiser Momentum ", "Xiaomi Buds "},
       {"черные", "белые", "синие"}, 2, 9},
      {"cameras", "фотоаппараты", "фотоаппарат", {"Canon EOS R", "Nikon Z", "Sony Alpha A", "Fujifilm X-T"},
       {"Body", "Kit 18-55", "Kit 24-105"}, 5, 50},
      {"smartwatches", "умные часы", "умные часы",
       {"Apple Watch Series ", "Samsung Galaxy Watch ", "Huawei Watch GT ", "Amazfit GTR "},
       {"41mm", "45mm", "черные"}, 3, 9},
      {"monitors", "мониторы", "монитор", {"Samsung Odyssey G", "LG UltraGear 27GN", "AOC 24G", "Dell P", "Xiaomi Mi Monitor "},
       {"24\"", "27\"", "32\""}, 2, 90},
      {"printers", "принтеры", "принтер", {"HP LaserJet Pro M", "Canon PIXMA G", "Epson L", "Brother HL-L"},
       {"", "Wi-Fi"}, 100, 999},
      {"routers", "роутеры", "роутер", {"TP-Link Archer C", "Keenetic Giga KN-", "ASUS RT-AX", "Xiaomi Router AX"},
       {"", "v2"}, 6, 99},
      {"fridges", "холодильники", "холодильник", {"Atlant XM-", "Bosch KGN", "Samsung RB", "LG GA-B", "Indesit ITR "},
       {"белый", "серебристый", "No Frost"}, 30, 499},
      {"washers", "стиральные машины", "стиральная машина",
       {"Bosch WAN", "LG F2V", "Samsung WW", "Indesit IWSE ", "Haier HW"}, {"6 кг", "7 кг", "8 кг"}, 50, 90},
      {"vacuums", "пылесосы", "пылесос", {"Dyson V", "Xiaomi Robot Vacuum S", "Samsung Jet ", "Tefal X-Force "},
       {"", "Absolute", "Pro"}, 8, 90},
      {"microwaves", "микроволновки", "микроволновка", {"Samsung ME", "LG MS", "Midea MM", "Hyundai HYM-"},
       {"", "белая", "черная"}, 20, 88},
      {"coffee", "кофемашины", "кофемашина", {"DeLonghi Magnifica ", "Philips EP", "Krups EA", "Saeco GranAroma "},
       {"", "Evo", "LatteGo"}, 10, 99},
      {"kettles", "чайники", "чайник", {"Redmond RK-", "Bosch TWK", "Xiaomi Kettle ", "Tefal KO"}, {"", "1.7 л"}, 10, 99},
      {"gpu", "видеокарты", "видеокарта",
       {"Palit GeForce RTX ", "MSI GeForce RTX ", "Gigabyte Radeon RX ", "ASUS Dual RTX "},
       {"8GB", "12GB", "16GB"}, 30, 90},
      {"cpu", "процессоры", "процессор", {"Intel Core i5-", "Intel Core i7-", "AMD Ryzen 5 ", "AMD Ryzen 7 "},
       {"BOX", "OEM"}, 12, 99},
      {"keyboards", "клавиатуры", "клавиатура", {"Logitech K", "Razer BlackWidow V", "A4Tech Bloody B", "HyperX Alloy "},
       {"", "черная"}, 3, 899},
      {"mice", "мыши", "мышь", {"Logitech G", "Razer DeathAdder V", "A4Tech Bloody V", "Xiaomi Mouse "}, {"", "белая"},
       2, 703},
      {"speakers", "колонки", "колонка", {"JBL Charge ", "Yandex Station ", "Marshall Emberton ", "Sven PS-"},
       {"", "черная", "синяя"}, 2, 470},
      {"consoles", "игровые приставки", "приставка", {"Sony PlayStation ", "Microsoft Xbox Series ", "Nintendo Switch "},
       {"", "Digital", "1TB"}, 2, 5},
      {"scooters", "электросамокаты", "электросамокат", {"Xiaomi Electric Scooter ", "Ninebot Kickscooter ", "Kugoo Kirin "},
       {"", "Pro"}, 3, 9},
      {"hairdryers", "фены", "фен", {"Dyson Supersonic HD", "Philips BHD", "Rowenta CV", "Braun Satin Hair "},
       {"", "розовый"}, 3, 99},
  };
  return categories;
}

bool IsUnreserved(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         c == '.' || c == '~';
}

void AppendEscape(std::string& out, unsigned char c) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out.push_back('%');
  out.push_back(kHex[c >> 4]);
  out.push_back(kHex[c & 15]);
}

std::string EncodeQueryBytes(std::string_view bytes) {
  std::string out;
  for (char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == ' ') {
      out.push_back('+');
    } else if (IsUnreserved(c)) {
      out.push_back(ch);
    } else {
      AppendEscape(out, c);
    }
  }
  return out;
}

// ASCII letters lowered; Cyrillic stays as typed (the titles are lower-case already).
std::string Slug(std::string_view text) {
  std::string out;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 'A' && c <= 'Z') {
      out.push_back(static_cast<char>(c + 32));
    } else if (c == ' ' || c == '/' || c == '-') {
      if (!out.empty() && out.back() != '-') out.push_back('-');
    } else if (c == '"' || c == ':' || c == ',' || c == '?') {
      continue;
    } else {
      out.push_back(ch);
    }
  }
  while (!out.empty() && out.back() == '-') out.pop_back();
  return out;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& ch : out) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
  }
  return out;
}

std::string FirstWord(const std::string& text) { return text.substr(0, text.find(' ')); }

}  // namespace

std::string EncodePath(std::string_view utf8) {
  std::string out;
  for (char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsUnreserved(c) || c == '/' || c == '?' || c == '=' || c == '&' || c == ',') {
      out.push_back(ch);
    } else {
      AppendEscape(out, c);
    }
  }
  return out;
}

std::string EncodeQueryValue(std::string_view utf8) { return EncodeQueryBytes(utf8); }

std::string EncodeQueryValueCp1251(std::string_view utf8) { return EncodeQueryBytes(tw::Utf8ToCp1251(utf8)); }

std::uint32_t SiteModel::Add(Resource r) {
  resources_.push_back(std::move(r));
  return static_cast<std::uint32_t>(resources_.size() - 1);
}

std::uint32_t SiteModel::AddImage(std::string path, std::int32_t size) {
  Resource r;
  r.path = std::move(path);
  r.kind = ResourceKind::kImage;
  r.size = size;
  const std::uint32_t id = Add(std::move(r));
  all_images_.push_back(id);
  return id;
}

SiteModel::SiteModel(std::uint64_t seed) {
  Rng rng(StreamSeed(seed, 1, 0));
  auto page = [&](std::string path, int lo, int hi, bool dynamic = false) {
    Resource r;
    r.path = EncodePath(path);
    r.size = rng.Range(lo, hi);
    r.dynamic = dynamic;
    return r;
  };
  auto asset = [&](const char* path, ResourceKind kind, int lo, int hi) {
    Resource r;
    r.path = path;
    r.kind = kind;
    r.size = rng.Range(lo, hi);
    return Add(std::move(r));
  };

  layout_assets_ = {
      asset("/css/style.css?v=4", ResourceKind::kStyle, 30000, 52000),
      asset("/js/jquery-3.7.1.min.js", ResourceKind::kScript, 87533, 87533),
      asset("/js/main.js?v=20250214", ResourceKind::kScript, 21000, 48000),
      AddImage("/img/logo.gif", 4318),
      AddImage("/img/sprite.png", 18842),
  };
  favicon_ = AddImage("/favicon.ico", 1150);
  robots_ = asset("/robots.txt", ResourceKind::kRobots, 380, 380);
  sitemap_ = asset("/sitemap.xml", ResourceKind::kRobots, 160000, 160000);

  std::vector<std::uint32_t> head;  // popular: home, sections, categories
  std::vector<std::uint32_t> tail;  // the long tail: products, articles, listings
  std::vector<std::uint32_t> banners;
  for (int i = 1; i <= 6; ++i) {
    char path[64];
    std::snprintf(path, sizeof path, "/img/banners/%s-%d.jpg", i % 2 ? "sale" : "new", i);
    banners.push_back(AddImage(path, rng.Range(60000, 180000)));
  }

  Resource home = page("/", 38000, 52000, true);
  home.images = {banners[0], banners[1], banners[2]};
  home.search_words = "example shop";
  home_ = Add(std::move(home));
  for (const char* p : {"/about/", "/contacts/", "/delivery/", "/payment/", "/guarantee/", "/catalog/", "/news/",
                        "/brands/", "/privacy.html", "/акции/", "/статьи/"}) {
    Resource r = page(p, 12000, 30000);
    if (std::string_view(p) == "/акции/") r.images = {banners[3], banners[4], banners[5]};
    head.push_back(Add(std::move(r)));
  }
  login_ = Add(page("/login.php", 9000, 11000, true));
  cart_ = Add(page("/cart.php", 14000, 26000, true));
  head.push_back(login_);
  head.push_back(cart_);
  head.push_back(Add(page("/register.php", 12000, 14000, true)));
  tail.push_back(Add(page("/compare.php", 18000, 40000, true)));
  tail.push_back(Add(page("/order.php?step=1", 16000, 20000, true)));

  // Products, their images, category pages and listings.
  std::set<std::string> seen;
  int product_id = 100;
  const auto& categories = Categories();
  for (std::size_t ci = 0; ci < categories.size(); ++ci) {
    const Category& cat = categories[ci];
    std::vector<std::uint32_t> thumbs;
    const int count = rng.Range(48, 76);
    for (int attempt = 0, made = 0; made < count && attempt < count * 4; ++attempt) {
      std::string name = rng.Pick(cat.lines);
      name += std::to_string(rng.Range(cat.min_number, cat.max_number));
      const std::string model = name;
      const char* variant = rng.Pick(cat.variants);
      if (*variant != '\0') name += std::string(" ") + variant;
      if (!seen.insert(name).second) continue;
      ++made;
      const int id = product_id++;
      // The address names the model; a second variant of a model adds its own name.
      std::string path = "/catalog/" + std::string(cat.slug) + "/" + Slug(model);
      if (!seen.insert(path).second) path += "-" + (*variant != '\0' ? Slug(variant) : std::to_string(id));
      Resource r = page(path + ".html", 26000, 64000, true);
      r.category = static_cast<std::int16_t>(ci);
      r.search_words = name;
      const int pictures = rng.Range(1, 4);
      for (int k = 1; k <= pictures; ++k) {
        r.images.push_back(AddImage("/img/p/" + std::to_string(id) + "/" + std::to_string(k) + ".jpg",
                                    rng.Range(24000, 240000)));
      }
      const std::uint32_t thumb =
          AddImage("/img/p/" + std::to_string(id) + "/s.jpg", rng.Range(3000, 12000));
      thumbs.push_back(thumb);
      product_names_.push_back(model);
      const std::uint32_t pid = Add(std::move(r));
      tail.push_back(pid);
      landings_.push_back(pid);
      // The shop's old address of the product answers with a redirect.
      Resource old;
      old.path = "/product.php?id=" + std::to_string(id);
      old.kind = ResourceKind::kRedirect;
      old.target = pid;
      redirects_.push_back(Add(std::move(old)));
    }
    Resource c = page("/catalog/" + std::string(cat.slug) + "/", 30000, 48000, true);
    c.category = static_cast<std::int16_t>(ci);
    c.search_words = cat.plural;
    for (std::size_t k = 0; k < thumbs.size() && k < 8; ++k) c.images.push_back(thumbs[k]);
    const std::uint32_t cid = Add(std::move(c));
    head.push_back(cid);
    landings_.push_back(cid);
    Resource no_slash;
    no_slash.path = "/catalog/" + std::string(cat.slug);
    no_slash.kind = ResourceKind::kRedirect;
    no_slash.target = cid;
    redirects_.push_back(Add(std::move(no_slash)));
    static constexpr const char* kSorts[] = {"price_asc", "price_desc", "popular", "new", "rating"};
    for (int n = 0, pages = rng.Range(3, 7); n < pages; ++n) {
      std::string path = "/catalog.php?cat=" + std::string(cat.slug) + "&page=" + std::to_string(rng.Range(2, 6));
      if (rng.Percent(60)) path += std::string("&sort=") + rng.Pick(kSorts);
      if (!seen.insert(path).second) continue;
      Resource l = page(path, 28000, 46000, true);
      l.category = static_cast<std::int16_t>(ci);
      for (std::size_t k = thumbs.size() / 2; k < thumbs.size() && l.images.size() < 6; ++k) l.images.push_back(thumbs[k]);
      tail.push_back(Add(std::move(l)));
    }
  }

  // Articles under the Cyrillic folder, titled in Russian.
  static constexpr const char* kArticleForms[] = {
      "как выбрать %s", "обзор %s", "%s: рейтинг лучших моделей 2025 года", "сравнение %s и %s",
      "чем отличается %s от %s", "%s для дома: советы", "отзывы владельцев: %s"};
  for (int a = 0, count = 260; a < count; ++a) {
    const Category& cat = categories[rng.Below(categories.size())];
    const int form = static_cast<int>(rng.Below(std::size(kArticleForms)));
    const std::string m1 = Lower(product_names_[rng.Below(product_names_.size())]);
    const std::string m2 = Lower(product_names_[rng.Below(product_names_.size())]);
    char title[512];
    switch (form) {
      case 0: std::snprintf(title, sizeof title, kArticleForms[0], cat.singular); break;
      case 1: std::snprintf(title, sizeof title, kArticleForms[1], m1.c_str()); break;
      case 2: std::snprintf(title, sizeof title, kArticleForms[2], cat.plural); break;
      case 3: std::snprintf(title, sizeof title, kArticleForms[3], m1.c_str(), m2.c_str()); break;
      case 4: std::snprintf(title, sizeof title, kArticleForms[4], m1.c_str(), m2.c_str()); break;
      case 5: std::snprintf(title, sizeof title, kArticleForms[5], cat.plural); break;
      default: std::snprintf(title, sizeof title, kArticleForms[6], m1.c_str()); break;
    }
    const std::string slug = Slug(title);
    if (!seen.insert(slug).second) continue;
    Resource r = page("/статьи/" + slug + ".html", 22000, 56000);
    r.search_words = title;
    for (int k = 1, pictures = rng.Range(1, 3); k <= pictures; ++k) {
      r.images.push_back(AddImage("/img/a/" + std::to_string(a + 1) + "/" + std::to_string(k) + ".jpg",
                                  rng.Range(40000, 160000)));
    }
    const std::uint32_t id = Add(std::move(r));
    tail.push_back(id);
    landings_.push_back(id);
  }

  // News items of the last year.
  static constexpr const char* kNews[] = {"new-arrivals", "spring-sale", "store-hours", "delivery-update",
                                          "pickup-point-opened", "price-cut", "gift-cards", "black-friday"};
  for (int n = 0; n < 150; ++n) {
    char path[96];
    const int year = 2024 + static_cast<int>(rng.Below(2)), month = rng.Range(1, 12);
    const char* topic = rng.Pick(kNews);
    const int number = rng.Range(1, 40);
    std::snprintf(path, sizeof path, "/news/%d/%02d/%s-%d.html", year, month, topic, number);
    if (!seen.insert(path).second) continue;
    Resource r = page(path, 15000, 26000);
    if (rng.Percent(50)) r.images.push_back(rng.Pick(banners));
    tail.push_back(Add(std::move(r)));
  }

  // Addresses that are gone, that browsers ask for anyway, and that scanners try.
  auto missing = [&](std::string path, ResourceKind kind = ResourceKind::kMissing) {
    Resource r;
    r.path = EncodePath(path);
    r.kind = kind;
    return Add(std::move(r));
  };
  for (const char* p : {"/apple-touch-icon.png", "/apple-touch-icon-precomposed.png", "/price.xls",
                        "/old/price-2019.xls", "/ads.txt", "/img/banners/winter-sale.jpg", "/catalog/pagers/",
                        "/статьи/старая-статья.html", "/js/jquery-1.4.2.min.js", "/catalog.php?cat=pagers"}) {
    missing_.push_back(missing(p));
  }
  for (int k = 0; k < 30; ++k) {
    const Category& cat = categories[rng.Below(categories.size())];
    missing_.push_back(missing("/catalog/" + std::string(cat.slug) + "/discontinued-" + std::to_string(k) + ".html"));
  }
  for (const char* p : {"/wp-login.php", "/wp-admin/", "/xmlrpc.php", "/.env", "/.git/config", "/phpmyadmin/index.php",
                        "/administrator/index.php", "/config.php.bak", "/backup.zip", "/cgi-bin/test.cgi",
                        "/vendor/phpunit/phpunit/src/Util/PHP/eval-stdin.php", "/wp-content/plugins/revslider/"}) {
    probes_.push_back(missing(p));
  }
  for (const char* p : {"/admin/", "/server-status"}) probes_.push_back(missing(p, ResourceKind::kForbidden));

  // Popularity: the head pages in a shuffled order first, then a few products
  // mixed with the shuffled tail.
  auto shuffle = [&](std::vector<std::uint32_t>& v) {
    for (std::size_t i = v.size(); i > 1; --i) std::swap(v[i - 1], v[rng.Below(i)]);
  };
  shuffle(head);
  shuffle(tail);
  pages_.push_back(home_);
  pages_.insert(pages_.end(), head.begin(), head.end());
  pages_.insert(pages_.end(), tail.begin(), tail.end());
  page_popularity_ = WeightedTable::Zipf(pages_.size(), 3);
  shuffle(landings_);
  landing_popularity_ = WeightedTable::Zipf(landings_.size(), 5);
}

std::string SiteModel::SearchPhrase(Rng& rng, std::uint32_t page) const {
  const Resource& r = resources_[page];
  const auto& categories = Categories();
  if (page == home_) {
    static constexpr const char* kNavigational[] = {
        "example shop", "example-shop.ru", "www.example-shop.ru", "экзампл шоп", "интернет магазин электроники",
        "магазин бытовой техники", "магазин техники с доставкой", "example shop отзывы"};
    return rng.Pick(kNavigational);
  }
  if (r.category < 0) {  // an article or a page without a category
    if (r.search_words.empty()) return "интернет магазин";
    if (rng.Percent(70)) return r.search_words;
    const std::string& w = r.search_words;
    const std::size_t blank = w.find(' ');
    return blank == std::string::npos ? w : w.substr(blank + 1);
  }
  const Category& cat = categories[static_cast<std::size_t>(r.category)];
  const std::string name = Lower(r.search_words);
  const std::string brand = Lower(FirstWord(r.search_words));
  if (r.search_words == cat.plural) {
    static constexpr const char* kCategoryForms[] = {"%s", "купить %s", "%s недорого", "%s в москве",
                                                     "магазин %s", "%s цены", "%s со скидкой"};
    char buf[256];
    std::snprintf(buf, sizeof buf, rng.Pick(kCategoryForms), cat.plural);
    return buf;
  }
  const std::size_t last_blank = name.rfind(' ');
  const std::string model = rng.Percent(50) && last_blank != std::string::npos ? name.substr(0, last_blank) : name;
  switch (rng.Below(14)) {
    case 0: return "купить " + name;
    case 1: return model + " цена";
    case 2: return model + " отзывы";
    case 3: return model + " характеристики";
    case 4: return r.search_words;  // as written in the shop, capitals and all
    case 5: return model + " купить в москве";
    case 6: return std::string(cat.plural) + " " + brand;
    case 7: return std::string(cat.singular) + " " + brand + " цена";
    case 8: return std::string("купить ") + cat.singular + " недорого";
    case 9: return std::string(cat.plural) + " интернет магазин";
    case 10: return std::string("какой ") + cat.singular + " выбрать";
    case 11: return model + " review";
    case 12: return model + " price";
    default: return model;
  }
}

std::string SiteModel::OwnSearchPhrase(Rng& rng) const {
  const auto& categories = Categories();
  if (rng.Percent(40)) return categories[rng.Below(categories.size())].singular;
  const std::string& name = product_names_[rng.Below(product_names_.size())];
  return rng.Percent(50) ? Lower(name) : Lower(FirstWord(name)) + " " + categories[rng.Below(categories.size())].singular;
}

}  // namespace tw::loggen
