target_sources(tomorine_store PRIVATE
)
