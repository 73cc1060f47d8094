// Program entry of the article data client.
int main() { return 0; }
