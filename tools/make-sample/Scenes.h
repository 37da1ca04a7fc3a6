#pragma once

#include <QImage>

// The scenic pictures of the DOS product's picture directory, 189 x 250,
// painted in true colour.
constexpr int sceneWidth = 189;
constexpr int sceneHeight = 250;

QImage tulipField();     // P_hana02
QImage cherryBlossom();  // P_hana03
QImage treeOnHill();     // P_ki01
QImage lakeAtDusk();     // P_ko01
QImage mountainMeadow(); // P_yama01
