#pragma once

#include "history/ProgressStats.h"

#include <array>
#include <string>

// What the progress window's figures say to a listener, in French (UTF-8): each chart as a
// sentence that a screen reader speaks in its place, and each confusion in words.
namespace ProgressSummary {

constexpr int kListed = 5;    // characters a summary names
constexpr int kTrendDays = 7; // the last days whose accuracy the trend gives

// The weakest characters, least accurate first (ties: more answers first, then Koch order), and
// the accuracy over all answers: "les plus faibles Q 62 % (40 réponses), Y 70 % (1 réponse) ;
// moyenne 91 %"; "aucune réponse" without answers.
std::string Weakest(const ProgressStats& stats);

// The slowest characters by median response time, slowest first (ties: Koch order): "les plus
// lents Q 1450 ms, Y 1300 ms"; "aucun temps de réponse" when no key was typed.
std::string Slowest(const ProgressStats& stats);

// The accuracy of each of the last kTrendDays days that has answers, oldest first, and how it
// moved from the first of them to the last: "sur 7 jours : lundi 1 décembre 80 %, jeudi
// 4 décembre 88 % ; en hausse de 8 points" ("en baisse", "stable"; no trend for a single day);
// "aucune réponse ces 7 derniers jours".
std::string Trend(const ProgressStats& stats);

// The copy practice's curve: the highest speed copied at 90 % or more over the 30 days, then on
// each of the last kTrendDays days that has one, oldest first; best holds a speed [words/min]
// per day of stats.days, 0 for none: "meilleure vitesse sur 30 jours : 22 mots/min ; sur 7
// jours : mardi 1 décembre 18 mots/min" ("... ; aucune ces 7 derniers jours"); "aucune copie à
// 90 % ou plus ces 30 derniers jours".
std::string CopySpeeds(const ProgressStats& stats, const std::array<int, ProgressStats::kDayCount>& best);

// "Q pris pour Y : 12 fois": what a confusion says, where Text() draws an arrow.
std::string Spoken(const ProgressStats::Confusion& confusion);

} // namespace ProgressSummary
