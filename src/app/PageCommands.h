#pragma once

class MainWindow;

// Each catalogue binds its command handlers to the command table in a file of its own.
void bindImageCommands(MainWindow& window);
void bindDiscCommands(MainWindow& window);
void bindMediaCommands(MainWindow& window);
void bindGridCommands(MainWindow& window);
void bindToolCommands(MainWindow& window);
