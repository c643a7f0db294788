#pragma once

class Database;
class ImagePack;
class Prompter;
class QTreeWidget;

// Fills the group panel with the twenty slots: number and colour, name, the id as item data.
// Selects the given position (0-19) when it is not negative.
void fillGroupList(QTreeWidget& list, Database& db, Prompter& prompter, const ImagePack& images,
                   int selectedPosition = -1);
