#pragma once

#include <array>
#include <string_view>

// Content-bound labels of the command table. These items name the studio's vehicles, districts,
// equipment, people packages, figure presets and legality values; the labels below are
// placeholders until the content supplies its own. Numbers and codes are not content and stay
// in the table's rows.
namespace tessarim::content {
constexpr std::array<std::string_view, 13> vehicleModels{
    "Model 1", "Model 2", "Model 3",  "Model 4",  "Model 5",  "Model 6", "Model 7",
    "Model 8", "Model 9", "Model 10", "Model 11", "Model 12", "Model 13"};
constexpr std::array<std::string_view, 6> pods{"Pod 1", "Pod 2", "Pod 3",
                                               "Pod 4", "Pod 5", "Pod 6"};
constexpr std::array<std::string_view, 17> cityDistricts{
    "City District 1",  "City District 2",  "City District 3",  "City District 4",
    "City District 5",  "City District 6",  "City District 7",  "City District 8",
    "City District 9",  "City District 10", "City District 11", "City District 12",
    "City District 13", "City District 14", "City District 15", "City District 16",
    "City District 17"};
// Odd codes are the equipped items, even codes the same package not installed.
constexpr std::array<std::string_view, 16> vehiclePackages{
    "Package 1 Equipped",      "Package 1 Not Installed", "Package 2 Equipped",
    "Package 2 Not Installed", "Package 3 Equipped",      "Package 3 Not Installed",
    "Package 4 Equipped",      "Package 4 Not Installed", "Package 5 Equipped",
    "Package 5 Not Installed", "Package 6 Equipped",      "Package 6 Not Installed",
    "Package 7 Equipped",      "Package 7 Not Installed", "Package 8 Equipped",
    "Package 8 Not Installed"};
constexpr std::array<std::string_view, 9> assignPackage{
    "Assign Package 1", "Assign Package 2", "Assign Package 3",
    "Assign Package 4", "Assign Package 5", "Assign Package 6",
    "Assign Package 7", "Assign Package 8", "Assign Package 9"};
constexpr std::array<std::string_view, 9> displayPackage{
    "Display Package 1", "Display Package 2", "Display Package 3",
    "Display Package 4", "Display Package 5", "Display Package 6",
    "Display Package 7", "Display Package 8", "Display Package 9"};
constexpr std::string_view assignBare = "Assign Bare";
constexpr std::string_view displayBare = "Display Bare";
constexpr std::array<std::string_view, 17> hairStyles{
    "Hair Style 1",  "Hair Style 2",  "Hair Style 3",  "Hair Style 4",  "Hair Style 5",
    "Hair Style 6",  "Hair Style 7",  "Hair Style 8",  "Hair Style 9",  "Hair Style 10",
    "Hair Style 11", "Hair Style 12", "Hair Style 13", "Hair Style 14", "Hair Style 15",
    "Hair Style 16", "Hair Style 17"};
constexpr std::array<std::string_view, 3> agility{"95th Percentile", "50th Percentile",
                                                  "5th Percentile"};
constexpr std::array<std::string_view, 2> sitting{"Sitting 1", "Sitting 2"};
constexpr std::array<std::string_view, 15> otherSequences{
    "Sequence 1",  "Sequence 2",  "Sequence 3",  "Sequence 4",  "Sequence 5",
    "Sequence 6",  "Sequence 7",  "Sequence 8",  "Sequence 9",  "Sequence 10",
    "Sequence 11", "Sequence 12", "Sequence 13", "Sequence 14", "Sequence 15"};
// Parking legality items: their numbers are 3000 + the legality value.
constexpr int legalityCount = 23;
constexpr std::array<std::string_view, legalityCount> legality{
    "Legality 0",  "Legality 1",  "Legality 2",  "Legality 3",  "Legality 4",  "Legality 5",
    "Legality 6",  "Legality 7",  "Legality 8",  "Legality 9",  "Legality 10", "Legality 11",
    "Legality 12", "Legality 13", "Legality 14", "Legality 15", "Legality 16", "Legality 17",
    "Legality 18", "Legality 19", "Legality 20", "Legality 21", "Legality 22"};
// Instance types whose items carry no name of their own.
constexpr std::array<std::string_view, 13> flightControls{
    "Flight Control 1", "Flight Control 2",  "Flight Control 3",  "Flight Control 4",
    "Flight Control 5", "Flight Control 6",  "Flight Control 7",  "Flight Control 8",
    "Flight Control 9", "Flight Control 10", "Flight Control 11", "Flight Control 12",
    "Flight Control 13"};
constexpr std::array<std::string_view, 8> displays{"Display 1", "Display 2", "Display 3",
                                                   "Display 4", "Display 5", "Display 6",
                                                   "Display 7", "Display 8"};
constexpr std::array<std::string_view, 10> vehicleControls{
    "Control 1", "Control 2", "Control 3", "Control 4", "Control 5",
    "Control 6", "Control 7", "Control 8", "Control 9", "Control 10"};
constexpr std::array<std::string_view, 3> standIns{"Stand-in 1", "Stand-in 2", "Stand-in 3"};
constexpr std::array<std::string_view, 5> buildingTypes{"Building 1", "Building 2", "Building 3",
                                                        "Building 4", "Building 5"};
constexpr std::array<std::string_view, 4> mining{"Mining 1", "Mining 2", "Mining 3", "Mining 4"};
constexpr std::array<std::string_view, 3> farm{"Farm 1", "Farm 2", "Farm 3"};
constexpr std::array<std::string_view, 3> township{"Township 1", "Township 2", "Township 3"};
constexpr std::array<std::string_view, 4> airfield{"Airfield 1", "Airfield 2", "Airfield 3",
                                                   "Airfield 4"};
constexpr std::array<std::string_view, 4> salvage{"Salvage 1", "Salvage 2", "Salvage 3",
                                                  "Salvage 4"};
constexpr std::array<std::string_view, 2> docks{"Dock 1", "Dock 2"};
}  // namespace tessarim::content
