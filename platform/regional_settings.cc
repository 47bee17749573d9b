#include "platform/regional_settings.h"

#include <atomic>
#include <cctype>
#include <cstdlib>

namespace tmxcnh {
namespace {

const RegionalSettings kBrazil = {
    Locale::kBrazil,
    ',',
    '.',
    '/',
    ':',
    DateOrder::kDayMonthYear,
    true,
    false,
    "R$",
    "Verdadeiro",
    "Falso",
    "AM",
    "PM",
    {"janeiro", "fevereiro", "março", "abril", "maio", "junho", "julho", "agosto", "setembro",
     "outubro", "novembro", "dezembro"},
    {"jan.", "fev.", "mar.", "abr.", "mai.", "jun.", "jul.", "ago.", "set.", "out.", "nov.",
     "dez."},
    {"domingo", "segunda-feira", "terça-feira", "quarta-feira", "quinta-feira", "sexta-feira",
     "sábado"},
    {"dom.", "seg.", "ter.", "qua.", "qui.", "sex.", "sáb."},
};

const RegionalSettings kUnitedStates = {
    Locale::kUnitedStates,
    '.',
    ',',
    '/',
    ':',
    DateOrder::kMonthDayYear,
    false,
    true,
    "$",
    "True",
    "False",
    "AM",
    "PM",
    {"January", "February", "March", "April", "May", "June", "July", "August", "September",
     "October", "November", "December"},
    {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
    {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"},
    {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"},
};

const RegionalSettings* SettingsFor(Locale locale) {
  return locale == Locale::kUnitedStates ? &kUnitedStates : &kBrazil;
}

const RegionalSettings* FromEnvironment() {
  Locale locale = Locale::kBrazil;
  if (const char* name = std::getenv("TMXCNH_LOCALE")) ParseLocaleName(name, &locale);
  return SettingsFor(locale);
}

std::atomic<const RegionalSettings*>& Current() {
  static std::atomic<const RegionalSettings*> current{FromEnvironment()};
  return current;
}

}  // namespace

const RegionalSettings& SettingsOf(Locale locale) { return *SettingsFor(locale); }

const RegionalSettings& CurrentSettings() { return *Current().load(std::memory_order_acquire); }

void SetLocale(Locale locale) { Current().store(SettingsFor(locale), std::memory_order_release); }

bool ParseLocaleName(const std::string& name, Locale* locale) {
  std::string folded;
  for (char c : name) folded += c == '_' ? '-' : static_cast<char>(std::tolower(c));
  if (folded == "pt-br") {
    *locale = Locale::kBrazil;
    return true;
  }
  if (folded == "en-us") {
    *locale = Locale::kUnitedStates;
    return true;
  }
  return false;
}

ScopedLocale::ScopedLocale(Locale locale) : previous_(CurrentSettings().locale) {
  SetLocale(locale);
}

ScopedLocale::~ScopedLocale() { SetLocale(previous_); }

}  // namespace tmxcnh
